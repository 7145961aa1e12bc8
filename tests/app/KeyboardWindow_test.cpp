// The window driven from the keyboard, with real key and focus events.
#include "tests/app/WindowTest.h"
#include "tests/database/DatabaseTestFile.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"

#include <QClipboard>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace qm;
using namespace qm::test;

class KeyboardWindow : public WindowTest {
  protected:
    void SetUp() override {
        makeWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    // Types into whatever has the focus. Tokens in angle brackets are keys: <BS>, <Left>,
    // <Right>, <Tab>, <Backtab>, <Paste>.
    void type(const QString& script) {
        for (int i = 0; i < script.size(); ++i) {
            if (script[i] == '<') {
                const int end = script.indexOf('>', i);
                const QString key = script.mid(i + 1, end - i - 1);
                i = end;
                if (key == "BS")
                    QTest::keyClick(focused(), Qt::Key_Backspace);
                else if (key == "Left")
                    QTest::keyClick(focused(), Qt::Key_Left);
                else if (key == "Right")
                    QTest::keyClick(focused(), Qt::Key_Right);
                else if (key == "Tab")
                    QTest::keyClick(focused(), Qt::Key_Tab);
                else if (key == "Backtab")
                    QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
                else if (key == "Paste")
                    QTest::keySequence(focused(), QKeySequence::Paste);
                else
                    ADD_FAILURE() << "unknown key " << key.toStdString();
            } else {
                QTest::keyClick(focused(), script[i].toLatin1());
            }
        }
    }
    CEditIPAddr* address() { return control<CEditIPAddr>("edNewIP"); }
    // Tab from the button before the field, as a keyboard user reaches it.
    void tabIntoAddress() {
        control<QTabWidget>("pcMenu")->setCurrentIndex(1);
        control<QWidget>("bbImportFavourites")->setFocus();
        type("<Tab>");
    }
};

TEST_F(KeyboardWindow, TabEntersTheAddressAtItsFirstPartAndTheNextTabLeavesIt) {
    tabIntoAddress();
    EXPECT_EQ(focused(), address()->part(0));
    type("<Tab>");
    EXPECT_EQ(focused(), control<QWidget>("edNewPort"));
    type("<Backtab>");
    EXPECT_EQ(focused(), address()->part(0));
    // Backtab from an inner part leaves the field too.
    type("1.2.3");
    ASSERT_EQ(focused(), address()->part(2));
    type("<Backtab>");
    EXPECT_EQ(focused(), control<QWidget>("bbImportFavourites"));
}

TEST_F(KeyboardWindow, TypingFillsTheAddressPartByPart) {
    struct Case {
        const char* keys;
        const char* text;
        int focusedPart;
    };
    const Case cases[] = {
        {"127.0.0.1", "127.0.0.1", 3},
        {"127 0 0 1", "127.0.0.1", 3},
        // A part moves on by itself after three digits; the "." typed after it is ignored.
        {"192.168.100.200", "192.168.100.200", 3},
        {"192168100200", "192.168.100.200", 3},
        // 26 cannot take a third digit, 25 can.
        {"26.5", "26.5.0.0", 1},
        {"2655", "26.55.0.0", 2},
        {"255.1", "255.1.0.0", 1},
        {"..10", "10.0.0.0", 0},
        // Backspace in an empty part goes back and deletes from there.
        {"10.<BS><BS>7", "17.0.0.0", 0},
        {"1.2.<BS><BS><BS>9", "19.0.0.0", 0},
        // Arrows move between parts at their edges.
        {"1.2<Left><Left>5", "15.2.0.0", 0},
        {"1<Right>2", "1.2.0.0", 1},
        {"12<Left><Right>3", "123.0.0.0", 1},
    };
    for (const Case& c : cases) {
        address()->setText("");
        tabIntoAddress();
        type(c.keys);
        EXPECT_EQ(focused(), address()->part(c.focusedPart)) << c.keys;
        EXPECT_EQ(address()->text(), c.text) << c.keys;
    }
}

TEST_F(KeyboardWindow, PastingADottedAddressIntoAnyPartFillsAllFour) {
    QApplication::clipboard()->setText(QStringLiteral(" 10.20.30.40\n"));
    tabIntoAddress();
    type("1.2.<Paste>");
    EXPECT_EQ(address()->text(), "10.20.30.40");
    // Something that is no address pastes nothing into a part that holds only digits.
    address()->setText("");
    QApplication::clipboard()->setText(QStringLiteral("10.20.300.40"));
    tabIntoAddress();
    type("<Paste>");
    EXPECT_EQ(address()->text(), "");
}

TEST_F(KeyboardWindow, FocusAloneHighlightsNoEntry) {
    window->servers().addIfAbsent("10.0.0.1:27015 cstrike");
    window->servers().addIfAbsent("10.0.0.2:27015 cstrike");
    control<QTabWidget>("pcMenu")->setCurrentIndex(2);
    auto* list = control<CheckListBox>("clbIPs");
    // Tab into the list from the control before it.
    list->previousInFocusChain()->setFocus();
    type("<Tab>");
    ASSERT_EQ(focused(), list);
    EXPECT_EQ(window->servers().highlighted(), ServerList::npos);
    EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty());
    // Delete and a bulk add reset the view while it has the focus: still nothing chosen.
    click("bbDelete");
    window->servers().addAndCheckAll({"10.0.0.3:27015 cstrike"});
    list->setFocus();
    EXPECT_EQ(window->servers().highlighted(), ServerList::npos);
    control<QPlainTextEdit>("mmUDPInfo")->setPlainText("kept");
    click("bbUDPRefresh");
    EXPECT_EQ(control<QPlainTextEdit>("mmUDPInfo")->toPlainText().toStdString(), "kept");
    // A keyboard move within the list is the user's choice.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_NE(window->servers().highlighted(), ServerList::npos);
}

TEST_F(KeyboardWindow, CountryBoxKeepsWhatWasTyped) {
    writeDatabase(dir.file("db.db2"), {"Quillmark", "100", "01/01/26", "30", "/Spain",
                                       "10.0.0.1:27015 cstrike", "/", "10.0.0.9:27015 valve"});
    dialogs.pickNext(dir.file("db.db2"));
    click("bbOpenDB");
    control<QTabWidget>("pcMenu")->setCurrentIndex(1);
    auto* box = control<QComboBox>("cbCountry");
    struct Case {
        const char* typed;
        size_t added;
    };
    // Names match with exact case; the empty name finds the marker "/".
    for (const Case c : {Case{"spain", 0}, Case{"Spain", 1}, Case{"", 1}}) {
        click("bbCountryClear");
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(box->lineEdit(), c.typed);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(box->currentText().toStdString(), c.typed);
        click("bbAddCountry");
        EXPECT_EQ(window->databaseServers().count(), c.added) << c.typed;
    }
}

TEST_F(KeyboardWindow, HelpPageWithoutAProgramToOpenItIsNamed) {
    writeAll(dir.file("index.html"), "<html></html>");
    dialogs.openSucceeds = false;
    click("bbOpenHelp");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(dialogs.shown[0].error);
    EXPECT_NE(dialogs.shown[0].text.find(dir.path() + "index.html"), std::string::npos)
        << dialogs.shown[0].text;
}

TEST(MessageBoxes, PlainMessagesHaveNoIconErrorsHaveTheirs) {
    application();
    const auto plain = QtDialogs::makeBox("Quillmark", "Saved", false);
    EXPECT_EQ(plain->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(plain->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(plain->windowTitle().toStdString(), "Quillmark");
    EXPECT_EQ(QtDialogs::makeBox("Quillmark", "File not found.", true)->icon(), QMessageBox::Critical);
}
