// The window layer on its own: the idle loop, the exception display, close
// actions, list clicks, frames shown by a panel and file filters.
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "tests/app/AppTestSupport.h"

namespace {

// A plain form as the application's main form, destroyed after each test.
class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Application->CreateForm(form);
        ASSERT_EQ(Application->MainForm(), form);
        form->Show();
        for (int i = 0; i < 5; ++i) {
            Application->ProcessMessages();
        }
        // A loop that waits for an event that never comes ends here, failing.
        QTimer::singleShot(5000, form, [this] {
            timedOut = true;
            Application->Terminate();
        });
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        Application->DestroyForms();
    }

    TForm* form = nullptr;
    bool timedOut = false;
    MessageBoxLog boxes;
};

TEST_F(WindowLayerTest, IdleHandlerThatIsNotDoneRunsAgainWithoutNewEvents) {
    int calls = 0;
    Application->OnIdle = [&](TObject*, bool& done) {
        done = false;
        if (++calls == 50) {
            Application->Terminate();
        }
    };
    Application->Run();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(calls, 50);
}

TEST_F(WindowLayerTest, IdleHandlerThatIsDoneWaitsForTheNextEvent) {
    int calls = 0;
    std::vector<int> callsWhenTimersFired;
    Application->OnIdle = [&](TObject*, bool&) { ++calls; };
    QTimer::singleShot(200, form, [&] { callsWhenTimersFired.push_back(calls); });
    QTimer::singleShot(400, form, [&] {
        callsWhenTimersFired.push_back(calls);
        Application->Terminate();
    });
    Application->Run();
    EXPECT_FALSE(timedOut);
    // One idle call before the first event; the first timer's event woke the
    // loop for one more, and then it waited again.
    EXPECT_EQ(callsWhenTimersFired, (std::vector<int>{1, 2}));
}

TEST_F(WindowLayerTest, ExceptionEscapingAHandlerIsShownAndTheLoopGoesOn) {
    struct Thrown {
        const char* name;
        std::function<void()> raise;
        std::string shown;
    };
    const Thrown cases[] = {
        {"Exception", [] { throw Exception("Access violation"); }, "Access violation"},
        {"std::exception", [] { throw std::runtime_error("bad input"); }, "bad input"},
        {"other", [] { throw 42; }, ""},
    };
    for (const Thrown& thrown : cases) {
        SCOPED_TRACE(thrown.name);
        const size_t boxesBefore = boxes.Calls().size();
        int calls = 0;
        Application->OnIdle = [&](TObject*, bool& done) {
            done = false;
            if (++calls == 1) {
                thrown.raise();
            }
            Application->Terminate();
        };
        Application->Run();
        EXPECT_EQ(calls, 2);
        ASSERT_EQ(boxes.Calls().size(), boxesBefore + 1);
        const win32::MessageBoxCall& box = boxes.Calls().back();
        EXPECT_EQ(box.text, thrown.shown);
        EXPECT_EQ(box.caption, Application->Title());
        EXPECT_EQ(box.owner, nullptr);
    }
}

TEST_F(WindowLayerTest, ExceptionsFromPaintMenuAndListHandlersAreShown) {
    TMenuItem item(form, "Item1", "Item");
    TListBox list(form->ClientArea(), "List1");
    list.setGeometry(0, 0, 100, 100);
    list.AddItem("only");
    list.show();
    struct Source {
        const char* name;
        std::function<void()> installThrower;
        std::function<void()> trigger;
    };
    const auto thrower = [](const char* text) { return [text](TObject*) { throw Exception(text); }; };
    const Source sources[] = {
        {"paint", [&] { form->OnPaint = thrower("paint"); },
         [&] {
             form->Invalidate();
             Application->ProcessMessages();
         }},
        {"menu", [&] { item.OnClick = thrower("menu"); }, [&] { item.Click(); }},
        {"list", [&] { list.OnClick = thrower("list"); }, [&] { ClickListBox(list, 0); }},
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.name);
        source.installThrower();
        source.trigger();
        ASSERT_FALSE(boxes.Calls().empty());
        EXPECT_EQ(boxes.Calls().back().text, source.name);
    }
    form->OnPaint = nullptr;
}

TEST_F(WindowLayerTest, CloseActionDecidesWhetherTheMainFormCloses) {
    TCloseAction answer = TCloseAction::caNone;
    int closeCalls = 0;
    form->OnClose = [&](TObject* sender, TCloseAction& action) {
        EXPECT_EQ(sender, form);
        EXPECT_EQ(action, TCloseAction::caHide);
        ++closeCalls;
        action = answer;
    };
    form->Close();
    EXPECT_EQ(closeCalls, 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(Application->Terminated());

    answer = TCloseAction::caHide;
    form->Close();
    EXPECT_EQ(closeCalls, 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(Application->Terminated());
}

// A form that sees, in its OnCreate, the reference CreateForm filled in.
class ProbeForm;
ProbeForm* probeForm = nullptr;

class ProbeForm : public TForm {
public:
    ProbeForm() {
        OnCreate = [this](TObject*) { referenceSetOnCreate = probeForm == this; };
    }
    bool referenceSetOnCreate = false;
};

TEST_F(WindowLayerTest, CreateFormStoresTheFormBeforeOnCreateAndForgetsItWhenDestroyed) {
    Application->CreateForm(probeForm);
    ASSERT_NE(probeForm, nullptr);
    EXPECT_TRUE(probeForm->referenceSetOnCreate);
    EXPECT_EQ(Application->MainForm(), form);
    Application->DestroyForms();
    EXPECT_EQ(probeForm, nullptr);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(WindowLayerTest, ListClickRunsOnClickForEntriesOnlyAndCodeChangesDoNot) {
    TListBox list(form->ClientArea(), "List1");
    list.setGeometry(0, 0, 120, 200);
    list.show();
    for (const char* text : {"Objeto:0", "Objeto:1", "Objeto:2"}) {
        list.AddItem(text);
    }
    std::vector<int> clicked;
    list.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        clicked.push_back(list.ItemIndex());
    };
    EXPECT_EQ(list.ItemIndex(), -1);

    ClickListBox(list, -1);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(list.ItemIndex(), -1);

    ClickListBox(list, 1);
    ClickListBox(list, 1);
    EXPECT_EQ(clicked, (std::vector<int>{1, 1}));

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&list, &down);
    EXPECT_EQ(clicked, (std::vector<int>{1, 1, 2}));

    list.SetItemIndex(0);
    EXPECT_EQ(list.ItemIndex(), 0);
    list.SetItemIndex(7);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(clicked.size(), 3u);
}

TEST_F(WindowLayerTest, PanelShowsPresentedFramesRowByRowAndIgnoresUnusableOnes) {
    TPanel panel(form->ClientArea(), "Panel9");
    panel.setGeometry(0, 0, 3, 2);
    // Two rows of three pixels, four apart; the fourth of each row is padding.
    const uint32_t frame[] = {0x00112233, 0x00445566, 0x00778899, 0xDEADBEEF,
                              0x00AABBCC, 0x00DDEEFF, 0x00010203, 0xDEADBEEF};
    panel.PresentFrame(frame, 3, 2, 4);
    const QImage shown = panel.LastFrame();
    ASSERT_EQ(shown.size(), QSize(3, 2));
    EXPECT_EQ(shown.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(shown.pixel(2, 0), 0xFF778899u);
    EXPECT_EQ(shown.pixel(0, 1), 0xFFAABBCCu);
    EXPECT_EQ(shown.pixel(2, 1), 0xFF010203u);
    EXPECT_EQ(panel.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(1, 1), 0xFFDDEEFFu);

    struct Unusable {
        const char* name;
        const uint32_t* pixels;
        int width, height, pitch;
    };
    const Unusable unusable[] = {
        {"no pixels", nullptr, 3, 2, 3},
        {"zero width", frame, 0, 2, 4},
        {"negative height", frame, 3, -1, 4},
        {"pitch below width", frame, 3, 2, 2},
    };
    for (const Unusable& u : unusable) {
        SCOPED_TRACE(u.name);
        panel.PresentFrame(u.pixels, u.width, u.height, u.pitch);
        EXPECT_EQ(panel.LastFrame(), shown);
    }
}

TEST(QtFileFilter, TurnsDescriptionPatternPairsIntoQtEntries) {
    struct FilterCase {
        const char* filter;
        const char* expected;
    };
    const FilterCase cases[] = {
        {"Tomb Raider 4|*.tr4", "Tomb Raider 4 (*.tr4)"},
        {"Levels|*.tr4;*.TR4|All|*.*", "Levels (*.tr4 *.TR4);;All (*.*)"},
        {"Levels|*.tr4; *.trc", "Levels (*.tr4 *.trc)"},
        {"Levels|*.tr4|Dangling", "Levels (*.tr4)"},
        {"Empty||Levels|*.tr4", "Levels (*.tr4)"},
        {"", ""},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(QtFileFilter(c.filter), c.expected);
    }
}

}  // namespace
