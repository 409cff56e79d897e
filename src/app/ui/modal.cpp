#include "app/ui/modal.h"

#include "app/ui/window_log.h"

#include <QDialog>

namespace kestrova::ui {

namespace {
ModalRunner &runner()
{
    static ModalRunner r;
    return r;
}
} // namespace

int showModal(QDialog *dialog)
{
    logShown(dialog);
    if (runner())
        return runner()(dialog);
    return dialog->exec();
}

void setModalRunner(ModalRunner r)
{
    runner() = std::move(r);
}

} // namespace kestrova::ui
