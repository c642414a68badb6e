#include "window/frm_veltrin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QTimer>
#include <chrono>
#include <initializer_list>
#include <utility>

#include "commands/source_listing.h"
#include "commands/version_text.h"
#include "window/file_name_assist.h"
#include "window/message_names.h"

namespace {

// The layout is drawn in twips; the window shows 15 twips to the pixel.
constexpr int kTwipsPerPixel = 15;

// Every position and size of the layout lies on the pixel grid. A value off it would be cut to the pixel below
// without a word, so a mistyped one stops the build instead.
consteval int PixelsFromTwips(int twips) {
    if (twips % kTwipsPerPixel != 0) {
        throw "a layout value in twips that is not a whole number of pixels";
    }
    return twips / kTwipsPerPixel;
}

consteval QRect FromTwips(int left, int top, int width, int height) {
    return {PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width), PixelsFromTwips(height)};
}

constexpr QSize kClientSize{PixelsFromTwips(4470), PixelsFromTwips(3645)};

// How often the idle window looks for a request to end.
constexpr std::chrono::milliseconds kEndRequestPolling{200};

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

template <typename Control>
Control* MakeControl(QWidget* parent, const char* name, std::string_view text, const QRect& geometry) {
    auto* control = new Control(FromUtf8(text), parent);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(geometry);
    return control;
}

// Whether the user moved the focus: a click, Tab, Shift+Tab or an access key. The focus also comes back to a box
// when a message box of the run closes, when the user returns to the window from another one, and when the run
// gives it back: none of those is the user entering the box, and "Done!" or "Error!" stays.
bool IsUsersFocusMove(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            return true;
        default:
            return false;
    }
}

}  // namespace

frmVeltrin::frmVeltrin(QWidget* parent)
    : QWidget(parent),
      lblFilename_(MakeControl<QLabel>(this, "lblFilename", "128 ROM 0 Filename:", FromTwips(120, 180, 1695, 255))),
      txt128ROM_(
          MakeControl<QLineEdit>(this, "txt128ROM", veltrin::kSourceDefaultFileName, FromTwips(120, 480, 4215, 315))),
      lblPlus2ROM_(MakeControl<QLabel>(this, "lblPlus2ROM", "+2 ROM 0 Filename:", FromTwips(120, 900, 1695, 255))),
      txtPlus2ROM_(MakeControl<QLineEdit>(this, "txtPlus2ROM", veltrin::kEnglishPlus2.defaultFileName,
                                          FromTwips(120, 1200, 4215, 315))),
      Label1_(MakeControl<QLabel>(this, "Label1", "French +2 ROM 0 Filename:", FromTwips(120, 1620, 2655, 255))),
      txtFrenchPlus2ROM_(MakeControl<QLineEdit>(this, "txtFrenchPlus2ROM", veltrin::kFrenchPlus2.defaultFileName,
                                                FromTwips(120, 1920, 4215, 315))),
      Label2_(MakeControl<QLabel>(this, "Label2", "Spanish +2 ROM 0 Filename:", FromTwips(120, 2340, 2655, 255))),
      txtSpanishPlus2ROM_(MakeControl<QLineEdit>(this, "txtSpanishPlus2ROM", veltrin::kSpanishPlus2.defaultFileName,
                                                 FromTwips(120, 2640, 4215, 315))),
      lblStatus_(MakeControl<QLabel>(this, "lblStatus", "", FromTwips(180, 3180, 2475, 255))),
      cmdCreate_(MakeControl<QPushButton>(this, "cmdCreate", "C&reate", FromTwips(2760, 3120, 735, 375))),
      cmdExit_(MakeControl<QPushButton>(this, "cmdExit", "E&xit", FromTwips(3600, 3120, 735, 375))),
      presenter_(
          [this](const QString& message, const QString& title) { MakeMessageBox(this, message, title)->exec(); }) {
    setObjectName(QStringLiteral("frmVeltrin"));
    setWindowTitle(QStringLiteral("Veltrin"));
    setFixedSize(kClientSize);
    // The layout is drawn for the classic 8-point dialog font: 11 pixels, whatever the screen's resolution.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    dialogFont.setStretch(QFont::SemiCondensed);
    setFont(dialogFont);

    for (QLabel* label : {lblFilename_, lblPlus2ROM_, Label1_, Label2_, lblStatus_}) {
        label->setTextFormat(Qt::PlainText);
    }

    // Focus order: the buttons first, then the boxes from top to bottom.
    setTabOrder(cmdCreate_, cmdExit_);
    setTabOrder(cmdExit_, txt128ROM_);
    setTabOrder(txt128ROM_, txtPlus2ROM_);
    setTabOrder(txtPlus2ROM_, txtFrenchPlus2ROM_);
    setTabOrder(txtFrenchPlus2ROM_, txtSpanishPlus2ROM_);

    veltrin::AssistFileNameBoxes(*this, {txt128ROM_, txtPlus2ROM_, txtFrenchPlus2ROM_, txtSpanishPlus2ROM_});

    // Only the source and English boxes react to edits and focus; the other two leave the status standing.
    connect(txt128ROM_, &QLineEdit::textChanged, this, &frmVeltrin::txt128ROM_Change);
    connect(txtPlus2ROM_, &QLineEdit::textChanged, this, &frmVeltrin::txtPlus2ROM_Change);
    txt128ROM_->installEventFilter(this);
    txtPlus2ROM_->installEventFilter(this);
    connect(cmdCreate_, &QPushButton::clicked, this, &frmVeltrin::cmdCreate_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &frmVeltrin::cmdExit_Click);

    // Ctrl-C, the request to end and the hang-up close the idle window as Exit would; a run takes them at a yield.
    auto* endRequests = new QTimer(this);
    connect(endRequests, &QTimer::timeout, this, [this] {
        if (!running_ && veltrin::TakeEndRequest() != 0) {
            EndProgram();
        }
    });
    endRequests->start(kEndRequestPolling);

    cmdCreate_->setFocus();
    Form_Load();
}

frmVeltrin::~frmVeltrin() = default;

void frmVeltrin::SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

std::unique_ptr<QMessageBox> frmVeltrin::MakeMessageBox(QWidget* parent, const QString& message, const QString& title) {
    return std::make_unique<QMessageBox>(QMessageBox::Warning, title, message, QMessageBox::Ok, parent);
}

frmVeltrin::ListingControls frmVeltrin::ListingControlsOf(const veltrin::Plus2Model& model) const {
    switch (model.language) {
        case veltrin::Plus2Language::kEnglish:
            return {lblPlus2ROM_, txtPlus2ROM_};
        case veltrin::Plus2Language::kSpanish:
            return {Label2_, txtSpanishPlus2ROM_};
        case veltrin::Plus2Language::kFrench:
            return {Label1_, txtFrenchPlus2ROM_};
    }
    return {lblPlus2ROM_, txtPlus2ROM_};
}

std::string frmVeltrin::SourceName() const { return txt128ROM_->text().toStdString(); }

std::string frmVeltrin::ListingName(const veltrin::Plus2Model& model) const {
    return ListingControlsOf(model).box->text().toStdString();
}

// Each box is known by the caption of the label above it.
std::string frmVeltrin::InputName(const QLabel& caption) {
    QString name = caption.text();
    name.chop(1);  // the colon
    return (name + QStringLiteral(" box")).toStdString();
}

std::string frmVeltrin::SourceInputName() const { return InputName(*lblFilename_); }

std::string frmVeltrin::ListingInputName(const veltrin::Plus2Model& model) const {
    return InputName(*ListingControlsOf(model).caption);
}

void frmVeltrin::SetStatus(std::string_view status) { lblStatus_->setText(FromUtf8(status)); }

void frmVeltrin::ShowVersionText() { lblStatus_->setText(QString::fromStdString(veltrin::VersionText())); }

void frmVeltrin::SetInputsEnabled(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{txt128ROM_, txtPlus2ROM_, txtFrenchPlus2ROM_,
                                                          txtSpanishPlus2ROM_, cmdCreate_}) {
        input->setEnabled(enabled);
    }
}

// The window's own pointer: a message box of the run shows the ordinary arrow.
void frmVeltrin::SetBusyPointer(bool busy) {
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void frmVeltrin::Yield() {
    QCoreApplication::processEvents();
    if (veltrin::TakeEndRequest() != 0) {
        exitRequested_ = true;
    }
    if (exitRequested_) {
        throw veltrin::RunCancelled{};
    }
}

void frmVeltrin::ShowMessage(std::string_view message, std::string_view title) {
    presenter_(veltrin::ShortenQuotedNames(FromUtf8(message)), FromUtf8(title));
}

bool frmVeltrin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && IsUsersFocusMove(static_cast<QFocusEvent*>(event)->reason())) {
        if (watched == txt128ROM_) {
            txt128ROM_GotFocus();
        } else if (watched == txtPlus2ROM_) {
            txtPlus2ROM_GotFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmVeltrin::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run holds the stack below this event; it unwinds at its next yield and then the program ends.
        exitRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

void frmVeltrin::Form_Load() { ShowVersionText(); }

void frmVeltrin::txt128ROM_Change() { ShowVersionText(); }

void frmVeltrin::txt128ROM_GotFocus() { ShowVersionText(); }

void frmVeltrin::txtPlus2ROM_Change() { ShowVersionText(); }

void frmVeltrin::txtPlus2ROM_GotFocus() { ShowVersionText(); }

void frmVeltrin::cmdCreate_Click() {
    if (running_) {
        return;
    }
    running_ = true;
    exitRequested_ = false;
    // Disabling Create would hand the focus on to Exit; it waits on the window instead, and comes back afterwards.
    const QPointer<QWidget> focusBefore = QApplication::focusWidget();
    setFocus(Qt::OtherFocusReason);
    const veltrin::RunOutcome outcome = veltrin::CreateCommand(*this).Run();
    running_ = false;
    SetBusyPointer(false);  // a cancelled run leaves the busy pointer up
    if (outcome == veltrin::RunOutcome::kCancelled || exitRequested_) {
        EndProgram();
    } else if (focusBefore != nullptr) {
        focusBefore->setFocus(Qt::OtherFocusReason);
    }
}

void frmVeltrin::cmdExit_Click() {
    if (running_) {
        exitRequested_ = true;
        return;
    }
    EndProgram();
}

void frmVeltrin::EndProgram() {
    close();
    QCoreApplication::quit();
}
