// The file-open dialog, with a replaceable handler so that tests can answer
// it without a real dialog.
#pragma once

#include <QObject>

#include <functional>
#include <string>

#include "platform/vcl/Classes.h"

class TOpenDialog : public QObject, public TObject {
public:
    TOpenDialog(QObject* owner, const char* name);

    // Shows the dialog with Title and Filter; on a chosen file stores its
    // path in FileName and returns true. Cancelling returns false and leaves
    // FileName as it was.
    bool Execute();

    std::string Title;
    // Pairs of description and patterns, all separated by '|', patterns
    // within a pair by ';': "Tomb Raider 4|*.tr4".
    std::string Filter;
    std::string FileName;

    // Answers Execute instead of a real dialog: it may set FileName and
    // returns what Execute returns.
    using ExecuteHandler = std::function<bool(TOpenDialog& dialog)>;
    // Installs handler (an empty one brings the real dialog back) and returns
    // the handler it replaces.
    static ExecuteHandler SetExecuteHandler(ExecuteHandler handler);
};

// The filter in Qt's form: "Tomb Raider 4|*.tr4" becomes
// "Tomb Raider 4 (*.tr4)"; entries are joined by ";;". A trailing description
// without patterns, and a pair with no pattern, are left out.
std::string QtFileFilter(const std::string& filter);
