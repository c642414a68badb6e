#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "commands/create_command.h"

class QCloseEvent;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

// The main window: four file name boxes, the status label and the Create and Exit buttons. A run of the create
// command holds the window's thread from the click to its end and yields to event processing between blocks;
// during a run only Exit (or closing the window) does anything, and it ends the program once the run has unwound.
// Exit is used by a click or its access key only: during a run the keyboard focus rests on the window itself, so
// that a second press of the key that started the run cannot end the program.
class frmVeltrin : public QWidget, public veltrin::CreateView {
    Q_OBJECT

  public:
    // Shows a modal message with its title and waits until the user closes it. ShowMessage hands it the message
    // with its long names shortened (ShortenQuotedNames).
    using MessagePresenter = std::function<void(const QString& message, const QString& title)>;

    explicit frmVeltrin(QWidget* parent = nullptr);
    ~frmVeltrin() override;
    frmVeltrin(const frmVeltrin&) = delete;
    frmVeltrin& operator=(const frmVeltrin&) = delete;

    // Replaces the message box that ShowMessage opens (the default is MakeMessageBox followed by exec).
    void SetMessagePresenter(MessagePresenter presenter);

    // The warning box that the default presenter shows: exclamation icon, a single OK button.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& message, const QString& title);

    // CreateView
    [[nodiscard]] std::string SourceName() const override;
    [[nodiscard]] std::string SourceInputName() const override;
    [[nodiscard]] std::string ListingName(const veltrin::Plus2Model& model) const override;
    [[nodiscard]] std::string ListingInputName(const veltrin::Plus2Model& model) const override;
    void SetStatus(std::string_view status) override;
    void SetInputsEnabled(bool enabled) override;
    void SetBusyPointer(bool busy) override;
    void Yield() override;
    void ShowMessage(std::string_view message, std::string_view title) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Event handlers, named control_event.
    void Form_Load();
    void txt128ROM_Change();
    void txt128ROM_GotFocus();
    void txtPlus2ROM_Change();
    void txtPlus2ROM_GotFocus();
    void cmdCreate_Click();
    void cmdExit_Click();

    // The box in which the user names a model's listing, and the label above it.
    struct ListingControls {
        const QLabel* caption;
        const QLineEdit* box;
    };
    [[nodiscard]] ListingControls ListingControlsOf(const veltrin::Plus2Model& model) const;
    static std::string InputName(const QLabel& caption);

    void ShowVersionText();
    void EndProgram();

    QLabel* lblFilename_;
    QLineEdit* txt128ROM_;
    QLabel* lblPlus2ROM_;
    QLineEdit* txtPlus2ROM_;
    QLabel* Label1_;
    QLineEdit* txtFrenchPlus2ROM_;
    QLabel* Label2_;
    QLineEdit* txtSpanishPlus2ROM_;
    QLabel* lblStatus_;
    QPushButton* cmdCreate_;
    QPushButton* cmdExit_;

    MessagePresenter presenter_;
    bool running_ = false;        // a run of the create command is in progress
    bool exitRequested_ = false;  // Exit or a close came during the run; the next yield unwinds it
};
