#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>

#include "commands/source_listing.h"
#include "support/data_table.h"
#include "window/qt/frm_veltrin.h"
#include "window_rows.h"

namespace {

using veltrin::Control;
using veltrin::testing_support::DrivenWindow;

// The window driven as the rows of the window's table drive both windows, shown and active at once, with each message
// box made, then recorded instead of shown (so none can block), and a hook run at every yield.
class TestWindow final : public frmVeltrin, public DrivenWindow {
  public:
    TestWindow() {
        SetMessagePresenter([this](const QString& message, const QString& title) {
            const auto box = MakeMessageBox(this, message, title);
            const bool plainWarning = box->icon() == QMessageBox::Warning &&
                                      box->standardButtons() == QMessageBox::Ok && box->textFormat() == Qt::PlainText;
            messages.push_back({(plainWarning ? "" : "(not a plain-text warning) ") +
                                    (box->windowTitle() + ": " + box->text()).toStdString(),
                                InputState(*this)});
            if (std::exchange(closeWindowAtNextMessage, false)) {
                close();
            }
        });
        show();
        QVERIFY(QTest::qWaitForWindowActive(this));
    }
    void Yield() override {
        ++yields;
        onYield(*this);
        frmVeltrin::Yield();
    }

    std::string Title() override { return windowTitle().toStdString(); }
    std::string Text(Control control) override { return Widget(control)->property("text").toString().toStdString(); }
    std::string FocusName() override {
        const QWidget* focus = QApplication::focusWidget();
        return focus == this ? "window" : focus != nullptr ? focus->objectName().toStdString() : "";
    }
    bool IsEnabled(Control control) override { return Widget(control)->isEnabled(); }
    bool HasFixedSize() override { return minimumSize() == maximumSize(); }
    std::array<int, 4> Place(Control control) override {
        const QRect place = Widget(control)->geometry();
        return {place.x(), place.y(), place.width(), place.height()};
    }
    void Name(Control box, const std::string& name) override {
        Widget(box)->setProperty("text", QString::fromStdString(name));
    }
    void Type(Control box, const std::string& text) override {
        QTest::keyClicks(Widget(box), QString::fromStdString(text));
    }
    void Click(Control control) override { QTest::mouseClick(Widget(control), Qt::LeftButton); }
    void Key(const std::string& key) override {
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(QString::fromStdString(key)));
    }
    // Both among the pending events before the run starts: the second is handled at the run's first yield.
    void CreateThenStop(bool byClosing) override {
        QMetaObject::invokeMethod(Widget(Control::cmdCreate), "click", Qt::QueuedConnection);
        QueueStop(byClosing);
    }
    // Exit, or a close of the window, among the events that the run's next yield handles.
    void QueueStop(bool byClosing) {
        if (byClosing) {  // the window stays until the run on the stack has unwound
            QMetaObject::invokeMethod(
                this, [this] { QVERIFY(!close() && isVisible()); }, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(Widget(Control::cmdExit), "click", Qt::QueuedConnection);
        }
    }
    std::vector<std::string> NextMessage() override {
        return messages.size() > shown_ ? messages.at(shown_++) : std::vector<std::string>{};
    }
    bool IsClosed() override { return !isVisible(); }
    void Pause() override { QTest::qWait(20); }

    std::vector<std::vector<std::string>> messages;  // each "title: text", and the state of the inputs meanwhile
    std::function<void(TestWindow&)> onYield = [](TestWindow&) {};
    int yields = 0;

  private:
    std::size_t shown_ = 0;
};

}  // namespace

Q_DECLARE_METATYPE(veltrin::testing_support::IndentedRow)

class WindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> workDir_;

  private slots:
    void init() {
        workDir_ = std::make_unique<QTemporaryDir>();
        veltrin::testing_support::PrepareRowFolder(workDir_->path().toStdString());
        QVERIFY(QDir::setCurrent(workDir_->path()));
    }
    void cleanup() {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        workDir_.reset();
    }

    void behavesAsTheWindowTableSays_data() {
        QTest::addColumn<veltrin::testing_support::IndentedRow>("row");
        for (const auto& row : veltrin::testing_support::ReadIndentedRows("window_rows.txt")) {
            QTest::newRow(row.name.c_str()) << row;
        }
    }
    void behavesAsTheWindowTableSays() {
        QFETCH(veltrin::testing_support::IndentedRow, row);
        TestWindow window;
        const std::string failures = RunWindowRow(row, workDir_->path().toStdString(), window);
        QVERIFY2(failures.empty(), failures.c_str());
    }

    // Every caption is shown whole at the window's fixed size.
    void captionsFitTheirControls() {
        TestWindow window;
        for (const auto& layout : veltrin::kControls) {
            const QWidget* control = window.Widget(layout.control);
            const QString caption = QString::fromStdString(window.Text(layout.control)).remove('&');  // the access key
            QVERIFY2(control->fontMetrics().horizontalAdvance(caption) < control->width(), qPrintable(caption));
            QVERIFY(control->fontMetrics().height() <= control->height());
        }
    }

    // The busy pointer is the window's only: a message box of the run shows the arrow. The focus rests on the
    // window, where a second press of the key that started the run presses no button.
    void aRunShowsTheBusyPointerOnTheWindowOnlyAndHoldsTheFocus() {
        TestWindow window;
        window.onYield = [](TestWindow& self) {
            QCOMPARE(self.FocusName(), "window");
            QCOMPARE(self.cursor().shape(), Qt::WaitCursor);
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            QCOMPARE(frmVeltrin::MakeMessageBox(&self, "Text", "Title")->cursor().shape(), Qt::ArrowCursor);
        };
        window.Key("Space");
        QVERIFY(window.yields > 0);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    // Exit, or a close of the window, at a later yield of the run: what was written stays, nothing more is.
    void stoppingAfterEnglishListingWritesNothingMore() {
        for (const bool throughFrame : {false, true}) {
            init();
            TestWindow window;
            const std::string folder = workDir_->path().toStdString();
            int stopAt = 0;
            window.onYield = [&](TestWindow& self) {
                if (stopAt == 0 && veltrin::testing_support::DerivedListings(folder) != "none") {
                    stopAt = self.yields;
                    self.QueueStop(throughFrame);
                }
            };
            window.Click(Control::cmdCreate);
            QCOMPARE(window.yields, stopAt);  // the run ended at that yield
            QVERIFY(!window.isVisible());
            QCOMPARE(veltrin::testing_support::DerivedListings(folder), "english");
            QCOMPARE(QDir(workDir_->path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
            QVERIFY(window.messages.empty());
        }
    }

    // Through the window, as a run hands it a message.
    void messagesShowLongNamesShortenedInTheMiddle() {
        for (const auto& row : veltrin::testing_support::ReadDataTable("shortened_names.txt")) {
            TestWindow window;
            window.ShowMessage(row.at(0), "Title");
            QCOMPARE(window.NextMessage().at(0), "Title: " + row.at(row.at(1) != "same"));
        }
    }

    void eachBoxTakesADroppedFileCompletesFileNamesAndTheWindowHasItsIcon() {
        TestWindow window;
        QVERIFY(!window.windowIcon().isNull());  // from the build folder too, where no icon theme has it
        const QString fileName = workDir_->filePath(QString::fromUtf8(veltrin::kSourceDefaultFileName.data()));
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(fileName)});
        QMimeData text;
        text.setText(QStringLiteral("x"));
        // Drops what is dragged as a move, after it entered the box; gives the action that the box took, if any.
        const auto drop = [](QLineEdit* box, QMimeData& data) {
            QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
            QDropEvent dropEvent(QPointF(4, 4), enter.possibleActions(), &data, Qt::LeftButton, Qt::NoModifier);
            dropEvent.setDropAction(Qt::MoveAction);
            QApplication::sendEvent(box, &dropEvent);
            return enter.isAccepted() ? dropEvent.dropAction() : Qt::IgnoreAction;
        };
        QTest::qWait(200);  // the user looks at the window before typing
        for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
            QCOMPARE(drop(box, dragged), Qt::CopyAction);  // a file manager would remove a moved file
            QCOMPARE(box->text(), QDir::toNativeSeparators(fileName));
            box->clear();  // dragged text that names no file is the box's own to insert
            drop(box, text);
            QCOMPARE(box->text(), QStringLiteral("x"));
            // A bare name is completed in the current folder from its first letter.
            box->clear();
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClicks(box, QStringLiteral("Spectrum1"));
            QTRY_VERIFY(box->completer()->popup()->isVisible());
            QCOMPARE(box->completer()->currentCompletion(), QString::fromUtf8(veltrin::kSourceDefaultFileName));
            box->completer()->popup()->hide();
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
