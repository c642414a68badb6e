#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "window/veltrin_form.h"

class QCloseEvent;
class QMessageBox;

// The main window in Qt: the controls of the layout as Qt widgets, over the behaviour that both windows share.
// Exit is used by a click, Enter or Space on it, or its access key.
class frmVeltrin : public QWidget, public veltrin::VeltrinForm {
    Q_OBJECT

  public:
    // Shows a modal message with its title and waits until the user closes it.
    using MessagePresenter = std::function<void(const QString& message, const QString& title)>;

    explicit frmVeltrin(QWidget* parent = nullptr);
    ~frmVeltrin() override;
    frmVeltrin(const frmVeltrin&) = delete;
    frmVeltrin& operator=(const frmVeltrin&) = delete;

    // Replaces the message box that ShowMessage opens (the default is MakeMessageBox followed by exec).
    void SetMessagePresenter(MessagePresenter presenter);

    // The warning box that the default presenter shows: exclamation icon, a single OK button, plain text.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& message, const QString& title);

    QWidget* Widget(veltrin::Control control) const;

    void SetBusyPointer(bool busy) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // VeltrinForm
    [[nodiscard]] std::u16string ControlText(veltrin::Control control) const override;
    void SetControlText(veltrin::Control control, std::u16string_view text) override;
    void EnableControl(veltrin::Control control, bool enabled) override;
    void ProcessEvents() override;
    void ShowMessageBox(std::u16string_view message, std::u16string_view title) override;
    [[nodiscard]] bool IsCharacterBoundary(std::u16string_view text, std::size_t position) const override;
    void HoldFocusForRun() override;
    void GiveFocusBack() override;
    void EndProgram() override;

  private:
    std::array<QWidget*, veltrin::kControls.size()> controls_{};
    MessagePresenter presenter_;
    QPointer<QWidget> focusBeforeRun_;
};
