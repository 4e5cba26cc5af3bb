// The form description of TForm1: every control with its place, size,
// captions and fonts, and the events wired to the form's handlers.
#include "app/Main.h"

namespace {

QFont RegularFont() {
    return ControlFont(-11, false);
}

QFont GroupFont() {
    return ControlFont(-13, true);
}

}  // namespace

void TForm1::CreateControls() {
    setObjectName(QStringLiteral("Form1"));
    SetCaption("PROTOTIPO");
    setFont(RegularFont());
    SetBounds(192, 110, 956, 640);
    QWidget* client = ClientArea();

    // Created in tab order, which Qt follows for focus.
    Panel1 = new TPanel(client, "Panel1");
    Panel1->setGeometry(296, 120, 337, 377);
    Panel1->SetCaption("Panel1");

    ProgressBar1 = new TProgressBar(client, "ProgressBar1");
    ProgressBar1->setGeometry(24, 8, 265, 25);
    ProgressBar2 = new TProgressBar(client, "ProgressBar2");
    ProgressBar2->setGeometry(624, 8, 297, 25);

    GroupBox1 = new TGroupBox(client, "GroupBox1");
    GroupBox1->setGeometry(24, 48, 249, 521);
    GroupBox1->SetCaption("Source:");
    GroupBox1->setFont(GroupFont());
    ListBox1 = new TListBox(GroupBox1, "ListBox1");
    ListBox1->setGeometry(8, 24, 233, 225);
    ListBox1->setFont(RegularFont());
    ListBox1->SetItemHeight(13);
    ListBox2 = new TListBox(GroupBox1, "ListBox2");
    ListBox2->setGeometry(8, 312, 233, 193);
    ListBox2->SetItemHeight(16);

    GroupBox2 = new TGroupBox(client, "GroupBox2");
    GroupBox2->setGeometry(640, 48, 257, 521);
    GroupBox2->SetCaption("Target:");
    GroupBox2->setFont(GroupFont());
    ListBox3 = new TListBox(GroupBox2, "ListBox3");
    ListBox3->setGeometry(8, 312, 241, 193);
    ListBox3->SetItemHeight(16);
    ListBox4 = new TListBox(GroupBox2, "ListBox4");
    ListBox4->setGeometry(8, 24, 241, 225);
    ListBox4->SetItemHeight(16);

    MainMenu1 = new TMainMenu(this, "MainMenu1");
    File1 = new TMenuItem(this, "File1", "File");
    Open1 = new TMenuItem(this, "Open1", "Open Source");
    N1 = new TMenuItem(this, "N1", "-");
    Exit1 = new TMenuItem(this, "Exit1", "Exit");
    File1->Add(Open1);
    File1->Add(N1);
    File1->Add(Exit1);
    MainMenu1->Add(File1);
    setMenuBar(MainMenu1);

    OpenDialog1 = new TOpenDialog(this, "OpenDialog1");

    OnCreate = Closure(this, &TForm1::FormCreate);
    OnPaint = Closure(this, &TForm1::FormPaint);
    OnClose = Closure(this, &TForm1::FormClose);
    Open1->OnClick = Closure(this, &TForm1::Open1Click);
    Exit1->OnClick = Closure(this, &TForm1::Exit1Click);
    ListBox1->OnClick = Closure(this, &TForm1::ListBox1Click);
}
