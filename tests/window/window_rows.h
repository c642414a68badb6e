#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/data_table.h"
#include "window/window_layout.h"

namespace veltrin::testing_support {

// A window under test, driven as its user would drive it: the Qt window in the test's own process, the Windows
// window from another process through the system's messages. Texts are in UTF-8.
class DrivenWindow {
  public:
    virtual ~DrivenWindow() = default;

    virtual std::string Title() = 0;
    virtual std::string Text(Control control) = 0;
    virtual std::string FocusName() = 0;  // the control's name, or "window"
    virtual bool HasFixedSize() = 0;
    virtual std::array<int, 4> Place(Control control) = 0;  // left, top, width and height in the window, in pixels
    virtual bool IsEnabled(Control control) = 0;
    virtual void Name(Control box, const std::string& name) = 0;
    virtual void Type(Control box, const std::string& text) = 0;  // at the end of the name
    virtual void Click(Control control) = 0;
    virtual void Key(const std::string& key) = 0;
    virtual void CreateThenStop(bool byClosing) = 0;
    // The next message box of the run, "title: text" and the InputState while it showed, once it has been closed;
    // empty while none has shown.
    virtual std::vector<std::string> NextMessage() = 0;
    virtual bool IsClosed() = 0;
    virtual void Pause() = 0;  // gives the window a moment to handle what it was sent

    // Pauses until done, for about ten seconds at the most (a program that starts under Wine may take seconds);
    // gives whether it was done.
    bool WaitUntil(const std::function<bool()>& done);

    // Whether the user closes the window while the next message box of the run shows, before the box.
    bool closeWindowAtNextMessage = false;
};

// "idle" when the four boxes, Create and Exit take input, "held" when only Exit does, as during a run.
std::string InputState(DrivenWindow& window);

// The +2 listings in the folder derived anew, by their options' names ("english spanish"), or "none"; the others
// must still hold the earlier run's listing, and one derived from the sample must be its golden listing ("wrong"
// when it is not).
std::string DerivedListings(const std::filesystem::path& folder, bool sourceEdited = false);

// Makes the folder of a row: the sample 128 listing and three listings of an earlier run.
void PrepareRowFolder(const std::filesystem::path& folder);

// Runs the steps of a row of tests/data/window_rows.txt on the window, whose current folder is the row's; gives what
// went wrong, a step and what was found instead on two lines each, or nothing.
std::string RunWindowRow(const IndentedRow& row, const std::filesystem::path& folder, DrivenWindow& window);

}  // namespace veltrin::testing_support
