#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/frm_veltrin.h"
#include "app/version_text.h"

namespace {

const QString kSourceName = QStringLiteral("Spectrum128_ROM0.asm");
const QString kEnglishName = QStringLiteral("Spectrum+2_ROM0.asm");
const QString kSpanishName = QStringLiteral("Spectrum+2_Spanish_ROM0.asm");
const QString kFrenchName = QStringLiteral("Spectrum+2_French_ROM0.asm");

struct ShownMessage {
    QString message;
    QString title;
};

// The window with its message boxes recorded instead of shown, and a hook that runs at every yield of a run
// before the window handles its pending events.
class TestWindow : public frmVeltrin {
  public:
    TestWindow() {
        SetMessagePresenter([this](const QString& message, const QString& title) {
            messages.push_back({message, title});
            if (onMessage) {
                onMessage(*this);
            }
        });
    }

    void Yield() override {
        ++yields;
        if (onYield) {
            onYield(*this);
        }
        frmVeltrin::Yield();
    }

    template <typename Control>
    Control* Find(const char* name) {
        return findChild<Control*>(QString::fromLatin1(name));
    }
    QLineEdit* Box(const char* name) { return Find<QLineEdit>(name); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
    QString Status() {
        const QLabel* status = Find<QLabel>("lblStatus");
        return status == nullptr ? QStringLiteral("<no lblStatus>") : status->text();
    }

    std::vector<ShownMessage> messages;
    std::function<void(TestWindow&)> onMessage;
    std::function<void(TestWindow&)> onYield;
    int yields = 0;
};

// What a hook saw of the window during a run.
struct RunState {
    bool captured = false;
    QString status;
    bool boxesEnabled = true;
    bool createEnabled = true;
    bool exitEnabled = false;
    bool busyPointer = false;
};

RunState CaptureRunState(TestWindow& window) {
    RunState state;
    state.captured = true;
    state.status = window.Status();
    for (const char* name : {"txt128ROM", "txtPlus2ROM", "txtFrenchPlus2ROM", "txtSpanishPlus2ROM"}) {
        state.boxesEnabled = state.boxesEnabled && window.Box(name)->isEnabled();
    }
    state.createEnabled = window.Button("cmdCreate")->isEnabled();
    state.exitEnabled = window.Button("cmdExit")->isEnabled();
    const QCursor* cursor = QApplication::overrideCursor();
    state.busyPointer = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    return state;
}

// Clicks Exit the way a user does during a run: the click waits among the window's pending events.
void QueueExitClick(TestWindow& window) {
    QMetaObject::invokeMethod(window.Button("cmdExit"), "click", Qt::QueuedConnection);
}

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool WriteAll(const QString& fileName, const QByteArray& content) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
    // Copies the sample listing into the work folder and points the four boxes at that folder.
    bool PrepareSampleRun(TestWindow& window);
    void PointBoxesAtWorkDir(TestWindow& window);
    QString WorkFile(const QString& name) const { return workDir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> workDir_;

  private slots:
    void init();
    void cleanup();

    void opensWithDefaultNamesVersionTextAndFocusOnCreate();
    void placesControlsAsDrawn_data();
    void placesControlsAsDrawn();
    void hasAFixedClientArea();
    void captionsFitTheirControls();
    void tabOrderRunsButtonsThenBoxes();
    void editingOrEnteringABoxRestoresVersionText_data();
    void editingOrEnteringABoxRestoresVersionText();
    void runOnSampleWritesThreeListings();
    void secondRunGivesIdenticalListings();
    void missingSourceShowsLoadErrorAndWritesNothing();
    void accessKeysPressCreateAndExit();
    void exitAtFirstYieldWritesNothing();
    void exitAfterEnglishListingWritesNoOtherListing();
    void closingTheWindowDuringARunEndsItAtTheNextYield();
    void exitPressedWhileAMessageIsShownEndsAfterTheRun();
    void exitWhenIdleClosesTheWindow();
    void messageBoxIsAWarningWithASingleOk();
};

void WindowTest::init() {
    workDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(workDir_->isValid());
}

void WindowTest::cleanup() {
    workDir_.reset();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void WindowTest::PointBoxesAtWorkDir(TestWindow& window) {
    window.Box("txt128ROM")->setText(WorkFile(kSourceName));
    window.Box("txtPlus2ROM")->setText(WorkFile(kEnglishName));
    window.Box("txtSpanishPlus2ROM")->setText(WorkFile(kSpanishName));
    window.Box("txtFrenchPlus2ROM")->setText(WorkFile(kFrenchName));
}

bool WindowTest::PrepareSampleRun(TestWindow& window) {
    PointBoxesAtWorkDir(window);
    return QFile::copy(QStringLiteral(VELTRIN_SAMPLE_LISTING), WorkFile(kSourceName));
}

void WindowTest::opensWithDefaultNamesVersionTextAndFocusOnCreate() {
    TestWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("frmVeltrin"));
    QCOMPARE(QString::fromLatin1(window.metaObject()->className()), QStringLiteral("frmVeltrin"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Veltrin"));

    QVERIFY(window.Box("txt128ROM") != nullptr);
    QVERIFY(window.Box("txtPlus2ROM") != nullptr);
    QVERIFY(window.Box("txtFrenchPlus2ROM") != nullptr);
    QVERIFY(window.Box("txtSpanishPlus2ROM") != nullptr);
    QCOMPARE(window.Box("txt128ROM")->text(), kSourceName);
    QCOMPARE(window.Box("txtPlus2ROM")->text(), kEnglishName);
    QCOMPARE(window.Box("txtFrenchPlus2ROM")->text(), kFrenchName);
    QCOMPARE(window.Box("txtSpanishPlus2ROM")->text(), kSpanishName);

    QCOMPARE(window.Find<QLabel>("lblFilename")->text(), QStringLiteral("128 ROM 0 Filename:"));
    QCOMPARE(window.Find<QLabel>("lblPlus2ROM")->text(), QStringLiteral("+2 ROM 0 Filename:"));
    QCOMPARE(window.Find<QLabel>("Label1")->text(), QStringLiteral("French +2 ROM 0 Filename:"));
    QCOMPARE(window.Find<QLabel>("Label2")->text(), QStringLiteral("Spanish +2 ROM 0 Filename:"));
    QCOMPARE(window.Button("cmdCreate")->text(), QStringLiteral("C&reate"));
    QCOMPARE(window.Button("cmdExit")->text(), QStringLiteral("E&xit"));

    QCOMPARE(window.Status(), QString::fromStdString(veltrin::VersionText()));
    QVERIFY(window.Status().endsWith(QStringLiteral(", V1.09")));

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void WindowTest::placesControlsAsDrawn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    // The drawing's twips at 15 to the pixel.
    QTest::newRow("lblFilename") << "lblFilename" << QRect(8, 12, 113, 17);
    QTest::newRow("txt128ROM") << "txt128ROM" << QRect(8, 32, 281, 21);
    QTest::newRow("lblPlus2ROM") << "lblPlus2ROM" << QRect(8, 60, 113, 17);
    QTest::newRow("txtPlus2ROM") << "txtPlus2ROM" << QRect(8, 80, 281, 21);
    QTest::newRow("Label1") << "Label1" << QRect(8, 108, 177, 17);
    QTest::newRow("txtFrenchPlus2ROM") << "txtFrenchPlus2ROM" << QRect(8, 128, 281, 21);
    QTest::newRow("Label2") << "Label2" << QRect(8, 156, 177, 17);
    QTest::newRow("txtSpanishPlus2ROM") << "txtSpanishPlus2ROM" << QRect(8, 176, 281, 21);
    QTest::newRow("lblStatus") << "lblStatus" << QRect(12, 212, 165, 17);
    QTest::newRow("cmdCreate") << "cmdCreate" << QRect(184, 208, 49, 25);
    QTest::newRow("cmdExit") << "cmdExit" << QRect(240, 208, 49, 25);
}

void WindowTest::placesControlsAsDrawn() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
}

void WindowTest::hasAFixedClientArea() {
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(298, 243));
    QCOMPARE(window.minimumSize(), QSize(298, 243));
    QCOMPARE(window.maximumSize(), QSize(298, 243));
    // Eleven controls and nothing else of the window's own.
    int controls = 0;
    for (const QObject* child : window.children()) {
        controls += child->isWidgetType() ? 1 : 0;
    }
    QCOMPARE(controls, 11);
}

void WindowTest::captionsFitTheirControls() {
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char* name : {"lblFilename", "lblPlus2ROM", "Label1", "Label2"}) {
        const QLabel* label = window.Find<QLabel>(name);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
        QVERIFY2(label->fontMetrics().height() <= label->height(), name);
    }
    window.SetStatus(veltrin::VersionText());
    const QLabel* status = window.Find<QLabel>("lblStatus");
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
}

void WindowTest::tabOrderRunsButtonsThenBoxes() {
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
    const std::vector<QWidget*> expected = {
        window.Button("cmdExit"),        window.Box("txt128ROM"),          window.Box("txtPlus2ROM"),
        window.Box("txtFrenchPlus2ROM"), window.Box("txtSpanishPlus2ROM"), window.Button("cmdCreate"),
    };
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (const char* name : {"lblFilename", "lblPlus2ROM", "Label1", "Label2", "lblStatus"}) {
        QCOMPARE(window.Find<QLabel>(name)->focusPolicy(), Qt::NoFocus);
    }
}

void WindowTest::editingOrEnteringABoxRestoresVersionText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("restores");
    QTest::newRow("source") << "txt128ROM" << true;
    QTest::newRow("English") << "txtPlus2ROM" << true;
    QTest::newRow("French") << "txtFrenchPlus2ROM" << false;
    QTest::newRow("Spanish") << "txtSpanishPlus2ROM" << false;
}

void WindowTest::editingOrEnteringABoxRestoresVersionText() {
    QFETCH(QString, box);
    QFETCH(bool, restores);
    const QString versionText = QString::fromStdString(veltrin::VersionText());
    const QString done = QString::fromLatin1(veltrin::kDoneStatus);

    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* edit = window.findChild<QLineEdit*>(box);
    QVERIFY(edit != nullptr);

    // Typing, with the focus left on Create.
    window.SetStatus(veltrin::kDoneStatus);
    QTest::keyClicks(edit, QStringLiteral("x"));
    QVERIFY(edit->text().endsWith(QLatin1Char('x')));
    QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
    QCOMPARE(window.Status(), restores ? versionText : done);

    // Deleting is an edit too.
    window.SetStatus(veltrin::kErrorStatus);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(window.Status(), restores ? versionText : QString::fromLatin1(veltrin::kErrorStatus));

    // Moving the focus into the box, without typing.
    window.SetStatus(veltrin::kDoneStatus);
    const QString text = edit->text();
    edit->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), text);
    QCOMPARE(window.Status(), restores ? versionText : done);

    // Leaving the box does nothing.
    window.SetStatus(veltrin::kDoneStatus);
    window.Button("cmdCreate")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
    QCOMPARE(window.Status(), done);
}

void WindowTest::runOnSampleWritesThreeListings() {
    TestWindow window;
    QVERIFY2(PrepareSampleRun(window), VELTRIN_SAMPLE_LISTING);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    RunState during;
    window.onYield = [&during](TestWindow& self) {
        if (!during.captured) {
            during = CaptureRunState(self);
        }
    };
    window.SetStatus(veltrin::kErrorStatus);

    QTest::mouseClick(window.Button("cmdCreate"), Qt::LeftButton);

    for (const ShownMessage& shown : window.messages) {
        qWarning("%s: %s", qPrintable(shown.title), qPrintable(shown.message));
    }
    QVERIFY(window.messages.empty());
    QCOMPARE(window.Status(), QString::fromLatin1(veltrin::kDoneStatus));
    QVERIFY(!window.IsRunning());
    QVERIFY(window.isVisible());
    for (const QString& name : {kEnglishName, kSpanishName, kFrenchName}) {
        QVERIFY2(!ReadAll(WorkFile(name)).isEmpty(), qPrintable(name));
    }
    QCOMPARE(QDir(workDir_->path()).entryList(QDir::Files).size(), 4);

    for (const char* name : {"txt128ROM", "txtPlus2ROM", "txtFrenchPlus2ROM", "txtSpanishPlus2ROM"}) {
        QVERIFY2(window.Box(name)->isEnabled(), name);
    }
    QVERIFY(window.Button("cmdCreate")->isEnabled());
    QVERIFY(window.Button("cmdExit")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // While it ran: version text, the boxes and Create disabled, Exit usable, busy pointer.
    QVERIFY(during.captured);
    QCOMPARE(during.status, QString::fromStdString(veltrin::VersionText()));
    QVERIFY(!during.boxesEnabled);
    QVERIFY(!during.createEnabled);
    QVERIFY(during.exitEnabled);
    QVERIFY(during.busyPointer);
}

void WindowTest::secondRunGivesIdenticalListings() {
    TestWindow window;
    QVERIFY2(PrepareSampleRun(window), VELTRIN_SAMPLE_LISTING);
    window.Button("cmdCreate")->click();
    QCOMPARE(window.Status(), QString::fromLatin1(veltrin::kDoneStatus));
    std::vector<QByteArray> first;
    for (const QString& name : {kEnglishName, kSpanishName, kFrenchName}) {
        first.push_back(ReadAll(WorkFile(name)));
        QVERIFY(QFile::remove(WorkFile(name)));
    }

    window.SetStatus("");
    window.Button("cmdCreate")->click();
    QCOMPARE(window.Status(), QString::fromLatin1(veltrin::kDoneStatus));
    std::size_t index = 0;
    for (const QString& name : {kEnglishName, kSpanishName, kFrenchName}) {
        QVERIFY2(!first[index].isEmpty(), qPrintable(name));
        QCOMPARE(ReadAll(WorkFile(name)), first[index]);
        ++index;
    }
}

void WindowTest::missingSourceShowsLoadErrorAndWritesNothing() {
    TestWindow window;
    PointBoxesAtWorkDir(window);
    RunState atMessage;
    window.onMessage = [&atMessage](TestWindow& self) { atMessage = CaptureRunState(self); };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.Button("cmdCreate"), Qt::LeftButton);

    QCOMPARE(window.messages.size(), std::size_t{1});
    QCOMPARE(window.messages[0].message, QStringLiteral("Error loading Spectrum 128 ROM disassembly"));
    QCOMPARE(window.messages[0].title, QStringLiteral("Load Error"));
    QCOMPARE(window.Status(), QString::fromLatin1(veltrin::kErrorStatus));
    QVERIFY(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    for (const char* name : {"txt128ROM", "txtPlus2ROM", "txtFrenchPlus2ROM", "txtSpanishPlus2ROM"}) {
        QVERIFY2(window.Box(name)->isEnabled(), name);
    }
    QVERIFY(window.Button("cmdCreate")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(window.isVisible());
    // The message comes while the run still holds the window.
    QVERIFY(atMessage.captured);
    QVERIFY(!atMessage.createEnabled);
}

void WindowTest::accessKeysPressCreateAndExit() {
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // A mnemonic presses its button at once and clicks it a moment later, so the press is what is checked here.
    QSignalSpy createPressed(window.Button("cmdCreate"), &QPushButton::pressed);
    QSignalSpy exitPressed(window.Button("cmdExit"), &QPushButton::pressed);
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(createPressed.count(), 1);
    QCOMPARE(exitPressed.count(), 0);
    QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
    QCOMPARE(createPressed.count(), 1);
    QCOMPARE(exitPressed.count(), 1);
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    QCOMPARE(createPressed.count(), 1);
    QCOMPARE(exitPressed.count(), 1);
}

void WindowTest::exitAtFirstYieldWritesNothing() {
    TestWindow window;
    QVERIFY2(PrepareSampleRun(window), VELTRIN_SAMPLE_LISTING);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.onYield = [](TestWindow& self) {
        if (self.yields == 1) {
            QueueExitClick(self);
        }
    };

    window.Button("cmdCreate")->click();

    QCOMPARE(window.yields, 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.IsRunning());
    QVERIFY(window.messages.empty());
    QCOMPARE(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{kSourceName});
    QCOMPARE(window.Status(), QString::fromStdString(veltrin::VersionText()));
}

void WindowTest::exitAfterEnglishListingWritesNoOtherListing() {
    TestWindow window;
    QVERIFY2(PrepareSampleRun(window), VELTRIN_SAMPLE_LISTING);
    const QByteArray oldListing("left from an earlier run\r\n");
    QVERIFY(WriteAll(WorkFile(kSpanishName), oldListing));
    QVERIFY(WriteAll(WorkFile(kFrenchName), oldListing));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int exitAt = 0;
    window.onYield = [this, &exitAt](TestWindow& self) {
        if (exitAt == 0 && QFile::exists(WorkFile(kEnglishName))) {
            exitAt = self.yields;
            QueueExitClick(self);
        }
    };

    window.Button("cmdCreate")->click();

    QVERIFY(exitAt > 0);
    QCOMPARE(window.yields, exitAt);
    QVERIFY(!window.isVisible());
    QVERIFY(!ReadAll(WorkFile(kEnglishName)).isEmpty());
    QCOMPARE(ReadAll(WorkFile(kSpanishName)), oldListing);
    QCOMPARE(ReadAll(WorkFile(kFrenchName)), oldListing);
    QCOMPARE(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
    QVERIFY(window.Status() != QString::fromLatin1(veltrin::kDoneStatus));
}

void WindowTest::closingTheWindowDuringARunEndsItAtTheNextYield() {
    TestWindow window;
    QVERIFY2(PrepareSampleRun(window), VELTRIN_SAMPLE_LISTING);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    bool closedAtOnce = true;
    window.onYield = [&closedAtOnce](TestWindow& self) {
        if (self.yields == 1) {
            // The run is still on the stack, so the window stays until it has unwound.
            closedAtOnce = self.close();
            closedAtOnce = closedAtOnce || !self.isVisible();
        }
    };

    window.Button("cmdCreate")->click();

    QVERIFY(!closedAtOnce);
    QCOMPARE(window.yields, 1);
    QVERIFY(!window.isVisible());
    QCOMPARE(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{kSourceName});
}

void WindowTest::exitPressedWhileAMessageIsShownEndsAfterTheRun() {
    TestWindow window;
    PointBoxesAtWorkDir(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.onMessage = [](TestWindow& self) { QTest::mouseClick(self.Button("cmdExit"), Qt::LeftButton); };
    window.Button("cmdCreate")->click();
    QCOMPARE(window.messages.size(), std::size_t{1});
    QVERIFY(!window.IsRunning());
    QVERIFY(!window.isVisible());
    QVERIFY(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void WindowTest::exitWhenIdleClosesTheWindow() {
    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.Button("cmdExit"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(window.messages.empty());

    // Closing through the frame when idle is not refused either.
    TestWindow other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QVERIFY(other.close());
    QVERIFY(!other.isVisible());
}

void WindowTest::messageBoxIsAWarningWithASingleOk() {
    TestWindow window;
    const std::unique_ptr<QMessageBox> box =
        frmVeltrin::MakeMessageBox(&window, QStringLiteral("Something failed"), QStringLiteral("Load Error"));
    QVERIFY(box != nullptr);
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->windowTitle(), QStringLiteral("Load Error"));
    QCOMPARE(box->text(), QStringLiteral("Something failed"));
    QCOMPARE(box->parentWidget(), &window);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
