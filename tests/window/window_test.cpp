#include <QAbstractItemView>
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
#include <map>
#include <memory>

#include "window/qt/frm_veltrin.h"
#include "window_rows.h"

namespace {

using veltrin::Control;
using veltrin::testing_support::DrivenWindow;
using veltrin::testing_support::ShownMessage;

const QString kSourceName = QStringLiteral("Spectrum128_ROM0.asm");
const QString kEnglishName = QStringLiteral("Spectrum+2_ROM0.asm");
const QString kSpanishName = QStringLiteral("Spectrum+2_Spanish_ROM0.asm");
const QString kFrenchName = QStringLiteral("Spectrum+2_French_ROM0.asm");

// The window with its message boxes made but recorded instead of shown (so none can block), and a hook run at
// every yield.
class TestWindow : public frmVeltrin {
  public:
    TestWindow() {
        SetMessagePresenter([this](const QString& message, const QString& title) {
            const auto box = MakeMessageBox(this, message, title);
            const bool plainWarning = box->icon() == QMessageBox::Warning &&
                                      box->standardButtons() == QMessageBox::Ok && box->textFormat() == Qt::PlainText &&
                                      box->text() == message;
            messages << (plainWarning ? QString() : QStringLiteral("(not a plain-text warning) ")) + title +
                            QStringLiteral(": ") + message;
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
    QLineEdit* Box(Control box) { return qobject_cast<QLineEdit*>(Widget(box)); }
    QPushButton* Button(Control button) { return qobject_cast<QPushButton*>(Widget(button)); }

    QStringList messages;
    std::function<void(TestWindow&)> onMessage;
    std::function<void(TestWindow&)> onYield;
    int yields = 0;
};

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The Qt window driven as the table of the window's rows drives both windows.
class QtDrivenWindow final : public DrivenWindow {
  public:
    explicit QtDrivenWindow(TestWindow& window) : window_(window) {
        window_.onMessage = [this](TestWindow& self) {
            held_.push_back(HeldByRun(*this));
            if (closeWindowFirst_.size() > answered_ && closeWindowFirst_[answered_]) {
                self.close();
            }
            ++answered_;
        };
    }

    std::string Text(Control control) override {
        const QWidget* widget = window_.Widget(control);
        if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
            return box->text().toStdString();
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            return button->text().toStdString();
        }
        return qobject_cast<const QLabel*>(widget)->text().toStdString();
    }
    std::string FocusName() override {
        const QWidget* focus = QApplication::focusWidget();
        return focus == &window_ ? "window" : focus != nullptr ? focus->objectName().toStdString() : "";
    }
    bool IsEnabled(Control control) override { return window_.Widget(control)->isEnabled(); }
    void Name(Control box, const std::string& name) override {
        window_.Box(box)->setText(QString::fromStdString(name));
    }
    void Type(Control box, const std::string& text) override {
        QTest::keyClicks(window_.Box(box), QString::fromStdString(text));
    }
    void Click(Control control) override { QTest::mouseClick(window_.Widget(control), Qt::LeftButton); }
    void Key(const std::string& key) override {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> kKeys{
            {"Tab", {Qt::Key_Tab, Qt::NoModifier}},      {"Shift+Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
            {"Enter", {Qt::Key_Return, Qt::NoModifier}}, {"Space", {Qt::Key_Space, Qt::NoModifier}},
            {"Alt+R", {Qt::Key_R, Qt::AltModifier}},     {"Alt+X", {Qt::Key_X, Qt::AltModifier}}};
        QWidget* focus = QApplication::focusWidget();
        const auto& [code, modifiers] = kKeys.at(key);
        QTest::keyClick(focus != nullptr ? focus : &window_, code, modifiers);
    }
    void CreateThenStop(bool byClosing) override {
        window_.onYield = [byClosing](TestWindow& self) {
            self.onYield = nullptr;
            if (byClosing) {
                self.close();
            } else {  // a user's click waits among the pending events
                QMetaObject::invokeMethod(self.Button(Control::cmdExit), "click", Qt::QueuedConnection);
            }
        };
        QTest::mouseClick(window_.Button(Control::cmdCreate), Qt::LeftButton);
    }
    void AnswerMessages(std::vector<bool> closeWindowFirst) override {
        closeWindowFirst_ = std::move(closeWindowFirst);
    }
    std::optional<ShownMessage> NextMessage() override {
        for (int pause = 0; pause < 100 && window_.messages.size() <= static_cast<qsizetype>(consumed_); ++pause) {
            Pause();
        }
        if (window_.messages.size() <= static_cast<qsizetype>(consumed_)) {
            return std::nullopt;
        }
        const std::size_t index = consumed_++;
        return ShownMessage{window_.messages.at(static_cast<qsizetype>(index)).toStdString(), held_.at(index)};
    }
    bool IsClosed() override { return !window_.isVisible(); }
    void Pause() override { QTest::qWait(20); }

  private:
    TestWindow& window_;
    std::vector<bool> closeWindowFirst_;
    std::vector<bool> held_;
    std::size_t answered_ = 0;
    std::size_t consumed_ = 0;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
    QString WorkFile(const QString& name) const { return workDir_->filePath(name); }
    QStringList WorkFiles() const { return QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden); }

    std::unique_ptr<QTemporaryDir> workDir_;

  private slots:
    void init() {
        workDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(workDir_->isValid());
        veltrin::testing_support::PrepareRowFolder(workDir_->path().toStdString());
        QVERIFY(QDir::setCurrent(workDir_->path()));
    }
    void cleanup() {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        workDir_.reset();
    }

    // The rows that both windows share.
    void behavesAsTheWindowTableSays_data() {
        QTest::addColumn<int>("row");
        const auto rows = veltrin::testing_support::ReadWindowRows();
        QVERIFY(!rows.empty());
        for (std::size_t index = 0; index < rows.size(); ++index) {
            QTest::newRow(rows[index].name.c_str()) << static_cast<int>(index);
        }
    }
    void behavesAsTheWindowTableSays() {
        QFETCH(int, row);
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QtDrivenWindow driven(window);
        const auto failures = veltrin::testing_support::RunWindowRow(
            veltrin::testing_support::ReadWindowRows().at(static_cast<std::size_t>(row)),
            workDir_->path().toStdString(), driven);
        QString failed;
        for (const std::string& failure : failures) {
            failed += QString::fromStdString("\n  " + failure);
        }
        QVERIFY2(failures.empty(), qPrintable(failed));
    }

    // Every caption is shown whole at the window's fixed size.
    void captionsFitTheirControls() {
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.minimumSize(), window.maximumSize());
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

    // The focus moves of Qt that the rows cannot make: only an access key counts as the user's.
    void focusThatComesBackLeavesTheOutcome_data() {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<bool>("restores");
        QTest::newRow("access key") << Qt::ShortcutFocusReason << true;
        QTest::newRow("window activated") << Qt::ActiveWindowFocusReason << false;
        QTest::newRow("message box closed") << Qt::PopupFocusReason << false;
        QTest::newRow("given back after a run") << Qt::OtherFocusReason << false;
    }
    void focusThatComesBackLeavesTheOutcome() {
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, restores);
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.SetStatus(veltrin::kDoneStatus);
        window.Box(Control::txt128ROM)->setFocus(reason);
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblStatus"))->text() == QLatin1String("Done!"), !restores);
    }

    // The busy pointer is the window's only: a message box of the run shows the arrow.
    void aRunShowsTheBusyPointerOnTheWindowOnly() {
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.onYield = [](TestWindow& self) {
            QCOMPARE(self.cursor().shape(), Qt::WaitCursor);
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            const auto box = frmVeltrin::MakeMessageBox(&self, QStringLiteral("Text"), QStringLiteral("Title"));
            QCOMPARE(box->cursor().shape(), Qt::ArrowCursor);
        };
        window.Button(Control::cmdCreate)->click();
        QVERIFY(window.yields > 0);
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
        window.show();
        const QByteArray oldListing = ReadAll(WorkFile(kSpanishName));
        QVERIFY(QFile::remove(WorkFile(kEnglishName)));
        int stopAt = 0;
        window.onYield = [&](TestWindow& self) {
            if (stopAt == 0 && QFile::exists(WorkFile(kEnglishName))) {
                stopAt = self.yields;
                if (throughFrame) {  // the window stays until the run on the stack has unwound
                    QVERIFY(!self.close() && self.isVisible());
                } else {  // a user's click waits among the pending events
                    QMetaObject::invokeMethod(self.Button(Control::cmdExit), "click", Qt::QueuedConnection);
                }
            }
        };
        window.Button(Control::cmdCreate)->click();
        QVERIFY(stopAt > 0);
        QCOMPARE(window.yields, stopAt);  // the run ended at that yield
        QVERIFY(!window.isVisible());
        QCOMPARE(ReadAll(WorkFile(kSpanishName)), oldListing);
        QCOMPARE(ReadAll(WorkFile(kFrenchName)), oldListing);
        QCOMPARE(WorkFiles().size(), 4);
        QCOMPARE(window.messages, QStringList());
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
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(!window.windowIcon().isNull());  // from the build folder too, where no icon theme has it
        const QString fileName = WorkFile(kSourceName);
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(fileName)});
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        const QList<QLineEdit*> boxes = window.findChildren<QLineEdit*>();
        QCOMPARE(boxes.size(), 4);
        QTest::qWait(200);  // the user looks at the window before typing
        for (QLineEdit* box : boxes) {
            QDragEnterEvent enter(QPoint(4, 4), actions, &dragged, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(4, 4), actions, &dragged, Qt::LeftButton, Qt::NoModifier);
            drop.setDropAction(Qt::MoveAction);
            QApplication::sendEvent(box, &drop);
            QCOMPARE(box->text(), QDir::toNativeSeparators(fileName));
            QCOMPARE(drop.dropAction(), Qt::CopyAction);  // a file manager would remove a moved file
            // A bare name is completed in the current folder from its first letter.
            box->clear();
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClicks(box, QStringLiteral("Spectrum1"));
            QTRY_VERIFY(box->completer()->popup()->isVisible());
            QCOMPARE(box->completer()->currentCompletion(), kSourceName);
            box->completer()->popup()->hide();
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
