// Helpers for tests that drive the real window layer and the main window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Main.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win32/MessageBox.h"

// Makes the test binary's one Qt application; it is shut down after the
// last test.
void EnsureApplication();

// Answers every message box with OK while it lives and keeps what they said.
class MessageBoxLog {
public:
    MessageBoxLog();
    ~MessageBoxLog();
    MessageBoxLog(const MessageBoxLog&) = delete;
    MessageBoxLog& operator=(const MessageBoxLog&) = delete;

    const std::vector<win32::MessageBoxCall>& Calls() const { return calls; }
    std::vector<std::string> Texts() const;

private:
    win32::MessageBoxHandler previous;
    std::vector<win32::MessageBoxCall> calls;
};

// Answers the file-open dialog while it lives: with fileName, or as a
// cancelled dialog when fileName is empty. Keeps the title and filter of
// every opening.
class OpenDialogAnswer {
public:
    explicit OpenDialogAnswer(std::string fileName);
    ~OpenDialogAnswer();
    OpenDialogAnswer(const OpenDialogAnswer&) = delete;
    OpenDialogAnswer& operator=(const OpenDialogAnswer&) = delete;

    struct Opening {
        std::string title;
        std::string filter;
    };
    const std::vector<Opening>& Openings() const { return openings; }

private:
    TOpenDialog::ExecuteHandler previous;
    std::string fileName;
    std::vector<Opening> openings;
};

// Clicks the list with the left mouse button as a user would: in the middle
// of entry row, or in the empty space below the entries when row is -1.
void ClickListBox(TListBox& list, int row);

// The float32 spin angle after `frames` frames starting from `start`: each
// frame adds 0.001 and rounds the sum to float32.
float SpinAfterFrames(float start, int frames);

// A shown main window made as the process entry makes it, with message
// boxes recorded. Closed and destroyed after each test.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles pending events until the window has settled (no repaint left).
    void Settle();

    MessageBoxLog boxes;
};
