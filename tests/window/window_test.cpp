#include <QApplication>
#include <QCompleter>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>
#include <memory>

#include "commands/version_text.h"
#include "window/frm_veltrin.h"

namespace {

const QString kSourceName = QStringLiteral("Spectrum128_ROM0.asm");
const QString kEnglishName = QStringLiteral("Spectrum+2_ROM0.asm");
const QString kSpanishName = QStringLiteral("Spectrum+2_Spanish_ROM0.asm");
const QString kFrenchName = QStringLiteral("Spectrum+2_French_ROM0.asm");

QString VersionText() { return QString::fromStdString(veltrin::VersionText()); }

// The window with its message boxes recorded instead of shown (so none can block), and a hook run at every yield.
class TestWindow : public frmVeltrin {
  public:
    TestWindow() {
        SetMessagePresenter([this](const QString& message, const QString& title) {
            messages << title + QStringLiteral(": ") + message;
        });
    }
    void Yield() override {
        ++yields;
        if (onYield) {
            onYield(*this);
        }
        frmVeltrin::Yield();
    }
    QLineEdit* Box(const char* name) { return findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QPushButton* Button(const char* name) { return findChild<QPushButton*>(QString::fromLatin1(name)); }
    QString Status() { return findChild<QLabel*>(QStringLiteral("lblStatus"))->text(); }
    // How many of the four boxes and Create take input.
    int EnabledInputs() {
        int enabled = Button("cmdCreate")->isEnabled() ? 1 : 0;
        for (const QLineEdit* box : findChildren<QLineEdit*>()) {
            enabled += box->isEnabled() ? 1 : 0;
        }
        return enabled;
    }

    QStringList messages;
    std::function<void(TestWindow&)> onYield;
    int yields = 0;
};

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
    QString WorkFile(const QString& name) const { return workDir_->filePath(name); }
    QStringList WorkFiles() const { return QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden); }
    // Points the four boxes at the work folder, shows the window and copies the sample source there.
    bool PrepareRun(TestWindow& window) {
        window.Box("txt128ROM")->setText(WorkFile(kSourceName));
        window.Box("txtPlus2ROM")->setText(WorkFile(kEnglishName));
        window.Box("txtSpanishPlus2ROM")->setText(WorkFile(kSpanishName));
        window.Box("txtFrenchPlus2ROM")->setText(WorkFile(kFrenchName));
        window.show();
        return QTest::qWaitForWindowExposed(&window) &&
               QFile::copy(QStringLiteral(VELTRIN_SAMPLE_LISTING), WorkFile(kSourceName));
    }

    std::unique_ptr<QTemporaryDir> workDir_;

  private slots:
    void init() {
        workDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(workDir_->isValid());
    }
    void cleanup() {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        workDir_.reset();
    }

    void opensWithFocusOnCreateThenTabsButtonsThenBoxes() {
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
        for (QWidget* next : QWidgetList{window.Button("cmdExit"), window.Box("txt128ROM"), window.Box("txtPlus2ROM"),
                                         window.Box("txtFrenchPlus2ROM"), window.Box("txtSpanishPlus2ROM"),
                                         window.Button("cmdCreate")}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // A message names a box by the caption above it.
        QCOMPARE(window.Button("cmdCreate")->text() + window.Button("cmdExit")->text(), QStringLiteral("C&reateE&xit"));
        QCOMPARE(window.SourceInputName(), std::string("128 ROM 0 Filename box"));
        QCOMPARE(window.ListingInputName(veltrin::kEnglishPlus2), std::string("+2 ROM 0 Filename box"));
        QCOMPARE(window.ListingInputName(veltrin::kSpanishPlus2), std::string("Spanish +2 ROM 0 Filename box"));
        QCOMPARE(window.ListingInputName(veltrin::kFrenchPlus2), std::string("French +2 ROM 0 Filename box"));
    }

    // Every caption is shown whole at the window's fixed size, the version text among them.
    void captionsFitTheirControls() {
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.Status(), VersionText());
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
            QVERIFY(label->fontMetrics().height() <= label->height());
        }
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            const QString caption = button->text().remove(QLatin1Char('&'));  // the & marks the access key
            QVERIFY2(button->fontMetrics().horizontalAdvance(caption) < button->width(), qPrintable(caption));
        }
    }

    void editingOrEnteringABoxRestoresVersionText_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<Qt::FocusReason>("reason");  // how the focus comes into the box
        QTest::addColumn<bool>("editRestores");
        QTest::addColumn<bool>("focusRestores");
        QTest::newRow("source, click") << "txt128ROM" << Qt::MouseFocusReason << true << true;
        QTest::newRow("English, Tab") << "txtPlus2ROM" << Qt::TabFocusReason << true << true;
        QTest::newRow("English, Shift+Tab") << "txtPlus2ROM" << Qt::BacktabFocusReason << true << true;
        QTest::newRow("source, access key") << "txt128ROM" << Qt::ShortcutFocusReason << true << true;
        QTest::newRow("French, click") << "txtFrenchPlus2ROM" << Qt::MouseFocusReason << false << false;
        QTest::newRow("Spanish, click") << "txtSpanishPlus2ROM" << Qt::MouseFocusReason << false << false;
        // The focus coming back without the user moving it leaves the outcome of the run standing.
        QTest::newRow("source, window activated") << "txt128ROM" << Qt::ActiveWindowFocusReason << true << false;
        QTest::newRow("source, message box closed") << "txt128ROM" << Qt::PopupFocusReason << true << false;
        QTest::newRow("source, given back after a run") << "txt128ROM" << Qt::OtherFocusReason << true << false;
    }

    void editingOrEnteringABoxRestoresVersionText() {
        QFETCH(QString, box);
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, editRestores);
        QFETCH(bool, focusRestores);
        const QString done = QString::fromLatin1(veltrin::kDoneStatus);
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QLineEdit* edit = window.findChild<QLineEdit*>(box);

        // Typing, with the focus left on Create.
        window.SetStatus(veltrin::kDoneStatus);
        QTest::keyClicks(edit, QStringLiteral("x"));
        QVERIFY(edit->text().endsWith(QLatin1Char('x')));
        QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));
        QCOMPARE(window.Status(), editRestores ? VersionText() : done);

        // Moving the focus into the box, without typing.
        window.SetStatus(veltrin::kDoneStatus);
        edit->setFocus(reason);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(window.Status(), focusRestores ? VersionText() : done);
    }

    // A run with the names that the window opens with reads and writes in the current folder, each listing under
    // the name of its box.
    void runOnSampleWritesEachListingUnderTheNameOfItsBox() {
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(QDir::setCurrent(workDir_->path()));
        QVERIFY(QFile::copy(QStringLiteral(VELTRIN_SAMPLE_LISTING), window.Box("txt128ROM")->text()));
        window.onYield = [](TestWindow& self) {  // while it runs: only Exit takes input, busy pointer
            QCOMPARE(self.EnabledInputs(), 0);
            QVERIFY(self.Button("cmdExit")->isEnabled());
            // The busy pointer is the window's: a message box of the run shows the arrow.
            QCOMPARE(self.cursor().shape(), Qt::WaitCursor);
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            const auto box = frmVeltrin::MakeMessageBox(&self, QStringLiteral("Text"), QStringLiteral("Title"));
            QCOMPARE(box->cursor().shape(), Qt::ArrowCursor);
            QVERIFY(box->icon() == QMessageBox::Warning && box->standardButtons() == QMessageBox::Ok);
            QVERIFY(box->windowTitle() == QStringLiteral("Title") && box->text() == QStringLiteral("Text"));
            // A second press of the key that started the run lands on no button (Exit would end the program).
            QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Space);
        };
        QTest::keyClick(window.Button("cmdCreate"), Qt::Key_Space);

        QCOMPARE(window.messages, QStringList());
        QCOMPARE(window.Status(), QString::fromLatin1(veltrin::kDoneStatus));
        QCOMPARE(WorkFiles().size(), 4);  // the listings, and nothing left beside them
        for (const char* box : {"txtPlus2ROM", "txtSpanishPlus2ROM", "txtFrenchPlus2ROM"}) {
            const QString name = window.Box(box)->text();
            QVERIFY2(ReadAll(name) == ReadAll(QStringLiteral(VELTRIN_TEST_DATA "/") + name), box);
        }
        QCOMPARE(window.EnabledInputs(), 5);
        QVERIFY(window.isVisible());
        QVERIFY(window.yields > 0);
        QCOMPARE(QApplication::focusWidget(), window.Button("cmdCreate"));  // back where it was
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void stoppingAfterEnglishListingWritesNothingMore_data() {
        QTest::addColumn<bool>("throughFrame");
        QTest::newRow("Exit") << false;
        QTest::newRow("window frame") << true;
    }

    void stoppingAfterEnglishListingWritesNothingMore() {
        QFETCH(bool, throughFrame);
        TestWindow window;
        QVERIFY2(PrepareRun(window), VELTRIN_SAMPLE_LISTING);
        const QByteArray oldListing = ReadAll(WorkFile(kSourceName));  // stands for listings of an earlier run
        for (const QString& name : {kSpanishName, kFrenchName}) {
            QVERIFY(QFile::copy(WorkFile(kSourceName), WorkFile(name)));
        }
        int stopAt = 0;
        window.onYield = [&](TestWindow& self) {
            if (stopAt == 0 && QFile::exists(WorkFile(kEnglishName))) {
                stopAt = self.yields;
                if (throughFrame) {  // the window stays until the run on the stack has unwound
                    QVERIFY(!self.close() && self.isVisible());
                } else {  // a user's click waits among the pending events
                    QMetaObject::invokeMethod(self.Button("cmdExit"), "click", Qt::QueuedConnection);
                }
            }
        };
        window.Button("cmdCreate")->click();
        QVERIFY(stopAt > 0);
        QCOMPARE(window.yields, stopAt);  // the run ended at that yield
        QVERIFY(!window.isVisible());
        QCOMPARE(ReadAll(WorkFile(kSpanishName)), oldListing);
        QCOMPARE(ReadAll(WorkFile(kFrenchName)), oldListing);
        QCOMPARE(WorkFiles().size(), 4);
        QCOMPARE(window.messages, QStringList());
    }

    // The program ends once the run is over when the user asked for it while a message of the run was shown.
    void exitDuringAMessageOfTheRunEndsTheProgramAfterIt() {
        TestWindow window;
        QVERIFY2(PrepareRun(window), VELTRIN_SAMPLE_LISTING);
        QVERIFY(QFile::remove(WorkFile(kSourceName)));
        window.SetMessagePresenter([&window](const QString&, const QString&) { window.Button("cmdExit")->click(); });
        window.Button("cmdCreate")->click();
        QVERIFY(!window.isVisible());
    }

    void messagesShowLongNamesShortenedInTheMiddle_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString start = "/home/" + QString(29, u's');  // 35 characters
        const QString end = QString(30, u'e') + ".asm";      // 34
        const QString name = start + "/middle/" + end, shortened = start + u'\u2026' + end;
        const QString read = "Could not write it to \"";
        QTest::newRow("70 characters") << read + start + u'/' + end + "\": it is read-only." << QString();
        QTest::newRow("long name") << "\"" + name + "\" does not exist."
                                   << "\"" + shortened + "\" does not exist.";
        QTest::newRow("two names") << "\"" + name + "\" to \"" + name + u'"'
                                   << "\"" + shortened + "\" to \"" + shortened + u'"';
        QTest::newRow("quote in a name") << read + name + "\"x\": it"
                                         << read + start + u'\u2026' + end.sliced(2) + "\"x\": it";
        QTest::newRow("unpaired quote") << read + name + " and more" << QString();
        // Neither cut falls inside a character: an emoji is two UTF-16 units, an accent follows its letter.
        QTest::newRow("characters at the cuts")
            << read + start.chopped(1) + "\U0001F600" + name + "e\u0301" + end.sliced(1) + u'"'
            << read + start.chopped(1) + u'\u2026' + end.sliced(1) + u'"';
    }

    // Through the window, as a run hands it a message.
    void messagesShowLongNamesShortenedInTheMiddle() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        TestWindow window;
        window.ShowMessage(message.toStdString(), "Title");
        QCOMPARE(window.messages, QStringList("Title: " + (shown.isNull() ? message : shown)));
    }

    void eachBoxTakesADroppedFileAndCompletesFileNames() {
        TestWindow window;
        const QString fileName = WorkFile(kSourceName);
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(fileName)});
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        const QList<QLineEdit*> boxes = window.findChildren<QLineEdit*>();
        QCOMPARE(boxes.size(), 4);
        for (QLineEdit* box : boxes) {
            QDragEnterEvent enter(QPoint(4, 4), actions, &dragged, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(4, 4), actions, &dragged, Qt::LeftButton, Qt::NoModifier);
            drop.setDropAction(Qt::MoveAction);
            QApplication::sendEvent(box, &drop);
            QCOMPARE(box->text(), QDir::toNativeSeparators(fileName));
            QCOMPARE(drop.dropAction(), Qt::CopyAction);  // a file manager would remove a moved file
            QVERIFY(qobject_cast<QFileSystemModel*>(box->completer()->model()) != nullptr);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
