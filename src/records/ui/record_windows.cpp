#include "records/ui/record_windows.h"

#include "app/ui/window_registry.h"
#include "records/ui/tfrm_check_all.h"
#include "records/ui/tfrm_define.h"
#include "records/ui/tfrm_input1.h"
#include "records/ui/tfrm_list1.h"

namespace kestrova::ui {
void registerRecordWindows()
{
    registerWindowClass(QStringLiteral("TFrmList1"), [](QWidget *parent) { return new TFrmList1(parent); });
    registerWindowClass(QStringLiteral("TFrmInput1"), [](QWidget *parent) { return new TFrmInput1(parent); });
    registerWindowClass(QStringLiteral("TFrmDefine"), [](QWidget *parent) { return new TFrmDefine(parent); });
    registerWindowClass(QStringLiteral("TFrmCheckAll"), [](QWidget *parent) { return new TFrmCheckAll(parent); });
}
} // namespace kestrova::ui
