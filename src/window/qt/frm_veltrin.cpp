#include "window/qt/frm_veltrin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

#include "window/qt/file_name_assist.h"

namespace {

using veltrin::Control;
using veltrin::ControlKind;
using veltrin::ControlLayout;

// Qt lays windows out in pixels of 96 dots to the inch and scales them to the screen itself.
constexpr int kQtDotsPerInch = 96;

// How often the idle window looks for a request to end.
constexpr std::chrono::milliseconds kEndRequestPolling{200};

int Pixels(int twips) { return veltrin::PixelsFromTwips(twips, kQtDotsPerInch); }

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString FromUtf16(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* MakeControl(QWidget* parent, const ControlLayout& layout) {
    const QString text = FromUtf8(veltrin::InitialText(layout));
    QWidget* control = nullptr;
    switch (layout.kind) {
        case ControlKind::kLabel: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            control = label;
            break;
        }
        case ControlKind::kBox:
            control = new QLineEdit(text, parent);
            break;
        case ControlKind::kButton:
            control = new QPushButton(text, parent);
            break;
    }
    control->setObjectName(FromUtf8(layout.name));
    control->setGeometry(Pixels(layout.place.left), Pixels(layout.place.top), Pixels(layout.place.width),
                         Pixels(layout.place.height));
    return control;
}

veltrin::FocusMove FocusMoveOf(Qt::FocusReason reason) {
    using veltrin::FocusMove;
    static const std::map<Qt::FocusReason, FocusMove> kMoves{{Qt::MouseFocusReason, FocusMove::kClick},
                                                             {Qt::TabFocusReason, FocusMove::kTab},
                                                             {Qt::BacktabFocusReason, FocusMove::kBackTab},
                                                             {Qt::ShortcutFocusReason, FocusMove::kAccessKey},
                                                             {Qt::ActiveWindowFocusReason, FocusMove::kWindowActivated},
                                                             {Qt::PopupFocusReason, FocusMove::kMessageBoxClosed}};
    const auto move = kMoves.find(reason);
    return move != kMoves.end() ? move->second : FocusMove::kByTheWindow;
}

bool IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

frmVeltrin::frmVeltrin(QWidget* parent)
    : QWidget(parent), presenter_([this](const QString& message, const QString& title) {
          MakeMessageBox(this, message, title)->exec();
      }) {
    setObjectName(FromUtf8(veltrin::kWindowName));
    setWindowTitle(FromUtf8(veltrin::kWindowTitle));
    // The installed icon theme names it; run from the build folder, the copy built into the program stands in.
    setWindowIcon(QIcon::fromTheme(QStringLiteral("veltrin"), QIcon(QStringLiteral(":/veltrin.png"))));
    setFixedSize(Pixels(veltrin::kClientWidthTwips), Pixels(veltrin::kClientHeightTwips));
    // The layout is drawn for the classic 8-point dialog font: 11 pixels, whatever the screen's resolution.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    dialogFont.setStretch(QFont::SemiCondensed);
    setFont(dialogFont);

    QWidget* previous = nullptr;
    for (const ControlLayout* layout : veltrin::ControlsInTabOrder()) {
        QWidget* control = MakeControl(this, *layout);
        controls_.at(static_cast<std::size_t>(layout->control)) = control;
        if (layout->kind == ControlKind::kLabel) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
        control->installEventFilter(this);
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            connect(box, &QLineEdit::textChanged, this, [this, layout] { Box_Change(layout->control); });
        }
    }
    auto* const create = qobject_cast<QPushButton*>(Widget(Control::cmdCreate));
    auto* const exit = qobject_cast<QPushButton*>(Widget(Control::cmdExit));
    connect(create, &QPushButton::clicked, this, [this] { cmdCreate_Click(); });
    connect(exit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    veltrin::AssistFileNameBoxes(*this, {qobject_cast<QLineEdit*>(Widget(Control::txt128ROM)),
                                         qobject_cast<QLineEdit*>(Widget(Control::txtPlus2ROM)),
                                         qobject_cast<QLineEdit*>(Widget(Control::txtFrenchPlus2ROM)),
                                         qobject_cast<QLineEdit*>(Widget(Control::txtSpanishPlus2ROM))});
    // Ctrl-C, the request to end and the hang-up close the idle window as Exit would; a run takes them at a yield.
    auto* endRequests = new QTimer(this);
    connect(endRequests, &QTimer::timeout, this, [this] { TakeEndRequestWhenIdle(); });
    endRequests->start(kEndRequestPolling);

    create->setFocus();
    Form_Load();
}

frmVeltrin::~frmVeltrin() = default;

void frmVeltrin::SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

std::unique_ptr<QMessageBox> frmVeltrin::MakeMessageBox(QWidget* parent, const QString& message, const QString& title) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, title, message, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);  // a name such as "<b>x</b>" shows as it is spelt
    return box;
}

QWidget* frmVeltrin::Widget(Control control) const { return controls_.at(static_cast<std::size_t>(control)); }

std::u16string frmVeltrin::ControlText(Control control) const {
    const QWidget* widget = Widget(control);
    QString text;
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
        text = box->text();
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
    }
    return text.toStdU16String();
}

void frmVeltrin::SetControlText(Control control, std::u16string_view text) {
    if (auto* label = qobject_cast<QLabel*>(Widget(control))) {
        label->setText(FromUtf16(text));
    }
}

void frmVeltrin::EnableControl(Control control, bool enabled) { Widget(control)->setEnabled(enabled); }

// The window's own pointer: a message box of the run shows the ordinary arrow.
void frmVeltrin::SetBusyPointer(bool busy) {
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void frmVeltrin::ProcessEvents() { QCoreApplication::processEvents(); }

void frmVeltrin::ShowMessageBox(std::u16string_view message, std::u16string_view title) {
    presenter_(FromUtf16(message), FromUtf16(title));
}

bool frmVeltrin::IsCharacterBoundary(std::u16string_view text, std::size_t position) const {
    const QString string = FromUtf16(text);
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, string);
    characters.setPosition(static_cast<qsizetype>(position));
    return characters.isAtBoundary();
}

// Disabling Create would hand the focus on to Exit; it waits on the window instead, and comes back afterwards.
void frmVeltrin::HoldFocusForRun() {
    focusBeforeRun_ = QApplication::focusWidget();
    setFocus(Qt::OtherFocusReason);
}

void frmVeltrin::GiveFocusBack() {
    if (focusBeforeRun_ != nullptr) {
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
    }
}

void frmVeltrin::EndProgram() {
    close();
    QCoreApplication::quit();
}

bool frmVeltrin::eventFilter(QObject* watched, QEvent* event) {
    auto* const control = qobject_cast<QWidget*>(watched);
    auto* const found = std::find(controls_.begin(), controls_.end(), control);
    if (found != controls_.end()) {
        const auto which = static_cast<Control>(found - controls_.begin());
        if (event->type() == QEvent::FocusIn) {
            Box_GotFocus(which, FocusMoveOf(static_cast<QFocusEvent*>(event)->reason()));
        } else if (auto* button = qobject_cast<QPushButton*>(control); button != nullptr && IsEnter(event)) {
            // Enter presses the button that has the focus, as Space does.
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmVeltrin::closeEvent(QCloseEvent* event) {
    if (!Form_QueryUnload()) {
        // The run holds the stack below this event; it unwinds at its next yield and then the program ends.
        event->ignore();
        return;
    }
    event->accept();
}
