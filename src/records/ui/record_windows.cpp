#include "records/ui/record_windows.h"

namespace kestrova::ui {
void registerRecordWindows()
{
}
} // namespace kestrova::ui
