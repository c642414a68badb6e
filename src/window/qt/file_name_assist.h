#pragma once

#include <initializer_list>

class QLineEdit;
class QWidget;

namespace veltrin {

// Saves typing whole paths in the file name boxes: a file dragged onto a box from a file manager puts its path
// there, and each box completes file and folder names as they are typed. The helpers belong to the window.
void AssistFileNameBoxes(QWidget& window, std::initializer_list<QLineEdit*> boxes);

}  // namespace veltrin
