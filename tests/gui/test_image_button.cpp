// The two-state image button and the window's toggles.
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <vector>

#include "app/Art.h"
#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

namespace {

// Records what a click handler sees when it runs.
struct ClickLog {
    std::vector<bool> pressedWhenClicked;
};

// A window whose rows are replaced by an observer of the toggles.
class ObservedWindow : public app::TTorvex {
public:
    std::vector<std::array<bool, 3>> enabledDuringBuild;
    bool failBuild = false;

protected:
    void AddRows() override {
        enabledDuringBuild.push_back(
            {Programmer->isEnabled(), Partitioner->isEnabled(), Detaljer->isEnabled()});
        if (failBuild) throw std::runtime_error("the build stopped");
    }
};

}  // namespace

class ImageButtonTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { faces = app::LoadButtonFaces(1); }

    void aClickTogglesThenRaisesTheClick() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.SetFaces(&faces, 0);
        button.SetGroupIndex(1);
        button.SetAllowAllUp(true);
        button.resize(112, 26);
        ClickLog log;
        QObject::connect(&button, &app::TImageButton::Click,
                         [&] { log.pressedWhenClicked.push_back(button.Pressed()); });
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(log.pressedWhenClicked, (std::vector<bool>{true, false}));
        QVERIFY(!button.Pressed());
    }

    void pressedFromCodeRaisesNoClick() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.SetGroupIndex(2);
        button.SetAllowAllUp(true);
        QSignalSpy clicks(&button, &app::TImageButton::Click);
        button.SetPressed(true);
        QVERIFY(button.Pressed());
        button.SetPressed(false);
        QVERIFY(!button.Pressed());
        QCOMPARE(clicks.count(), 0);
    }

    void groupsAreIndependentAndAGroupIsExclusive() {
        QWidget parent;
        app::TImageButton a(&parent), b(&parent), c(&parent), d(&parent);
        a.SetGroupIndex(1);
        b.SetGroupIndex(2);
        c.SetGroupIndex(3);
        d.SetGroupIndex(3);
        for (auto* x : {&a, &b, &c, &d}) {
            x->SetAllowAllUp(true);
            x->resize(112, 26);
        }
        QTest::mouseClick(&a, Qt::LeftButton);
        QTest::mouseClick(&b, Qt::LeftButton);
        QTest::mouseClick(&c, Qt::LeftButton);
        QVERIFY(a.Pressed() && b.Pressed() && c.Pressed());
        // d shares c's group: pressing it releases c, and nothing else.
        QTest::mouseClick(&d, Qt::LeftButton);
        QVERIFY(a.Pressed() && b.Pressed() && !c.Pressed() && d.Pressed());
        c.SetPressed(true);
        QVERIFY(!d.Pressed());
    }

    void withoutAllUpAPressedButtonStaysDown() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.SetGroupIndex(1);
        button.SetAllowAllUp(false);
        button.resize(112, 26);
        QSignalSpy clicks(&button, &app::TImageButton::Click);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(button.Pressed());
        QCOMPARE(clicks.count(), 2);
    }

    void aPlainButtonHasNoLastingState() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.resize(91, 26);
        QSignalSpy clicks(&button, &app::TImageButton::Click);
        QTest::mouseClick(&button, Qt::LeftButton);
        button.SetPressed(true);
        QVERIFY(!button.Pressed());
        QCOMPARE(clicks.count(), 1);
    }

    void aDisabledButtonIgnoresMouseAndKeyboard() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.SetGroupIndex(1);
        button.SetAllowAllUp(true);
        button.resize(112, 26);
        QSignalSpy clicks(&button, &app::TImageButton::Click);
        button.setEnabled(false);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::keyClick(&button, Qt::Key_Space);
        QVERIFY(!button.Pressed());
        QCOMPARE(clicks.count(), 0);
        button.setEnabled(true);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
    }

    void theFaceFollowsTheState() {
        QWidget parent;
        app::TImageButton button(&parent);
        button.SetFaces(&faces, 2);
        button.SetGroupIndex(2);
        button.SetAllowAllUp(true);
        button.resize(112, 26);
        auto shown = [&] { return button.grab().toImage().convertToFormat(QImage::Format_RGB32); };
        const QImage released = shown();
        button.SetPressed(true);
        const QImage pressed = shown();
        QVERIFY(released != pressed);
        // The amber light is lit only on the pressed face.
        const QColor lamp = pressed.pixelColor(12, 13);
        QVERIFY2(lamp.red() > 200 && lamp.green() > 120 && lamp.red() - lamp.blue() > 60,
                 qPrintable(lamp.name()));
        QVERIFY2(released.pixelColor(12, 13).red() < 120,
                 qPrintable(released.pixelColor(12, 13).name()));
    }

    void theWindowsButtonsCanBeUsedFromTheKeyboard() {
        QTemporaryDir folder;
        UseFakeMachine(folder);
        auto window = StartWindow(app::NorwegianStrings());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QStringList names = {"Programmer", "Partisjoner", "Detaljer", "Skriv ut",
                                   "Avslutt"};
        const QList<app::TImageButton*> buttons = {window->Programmer, window->Partitioner,
                                                   window->Detaljer, window->Udskriv,
                                                   window->Afslut};
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->accessibleName(), names[i]);
            QCOMPARE(buttons[i]->focusPolicy(), Qt::StrongFocus);
        }
        // The focused button is marked on its face.
        const QImage unfocused = window->Partitioner->grab().toImage();
        window->Partitioner->setFocus();
        QVERIFY(window->Partitioner->hasFocus());
        QVERIFY(window->Partitioner->grab().toImage() != unfocused);
        QTest::keyClick(window->Partitioner, Qt::Key_Space);
        QVERIFY(window->Partitioner->Pressed());
        QVERIFY(!window->Programmer->Pressed() && !window->Detaljer->Pressed());
        // The rebuild does not take the focus away; Tab moves on to the next
        // button.
        QCOMPARE(QApplication::focusWidget(), window->Partitioner);
        QTest::keyClick(window->Partitioner, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->Detaljer);
    }

    void aToggleClearsTheListAndBuildsWithTogglesDisabled() {
        QTemporaryDir folder;
        UseFakeMachine(folder);
        platform::SetResourceStrings(app::NorwegianStrings());
        ObservedWindow window;
        new QTreeWidgetItem(window.List, QStringList{"Processor", "old row"});
        QTest::mouseClick(window.Detaljer, Qt::LeftButton);
        QCOMPARE(window.List->topLevelItemCount(), 0);
        QCOMPARE(window.enabledDuringBuild.size(), std::size_t(1));
        QCOMPARE(window.enabledDuringBuild[0], (std::array<bool, 3>{false, false, false}));
        QVERIFY(window.Programmer->isEnabled() && window.Partitioner->isEnabled() &&
                window.Detaljer->isEnabled());
        QVERIFY(window.Detaljer->Pressed());
    }

    void aFailedBuildLeavesTheTogglesUsable() {
        QTemporaryDir folder;
        UseFakeMachine(folder);
        platform::SetResourceStrings(app::NorwegianStrings());
        ObservedWindow window;
        window.failBuild = true;
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QTest::mouseClick(window.Programmer, Qt::LeftButton);
        QCOMPARE(shown, QString("the build stopped"));
        QVERIFY(window.Programmer->isEnabled() && window.Partitioner->isEnabled() &&
                window.Detaljer->isEnabled());
    }

private:
    app::TGraphicList faces;
};

QTEST_MAIN(ImageButtonTest)
#include "test_image_button.moc"
