#pragma once
// Shows a window modally. Production runs the dialog's own event loop; tests install
// a runner that works the window directly and returns the result it ended with.
#include <functional>

class QDialog;

namespace kestrova::ui {

using ModalRunner = std::function<int(QDialog *)>;

// The dialog's result (QDialog::Accepted or Rejected).
int showModal(QDialog *dialog);
// Installs a runner; an empty one puts QDialog::exec back.
void setModalRunner(ModalRunner runner);

} // namespace kestrova::ui
