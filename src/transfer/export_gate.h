#pragma once
// Whether the upload workbook may be made now, checked before any dialog is shown.
#include <QString>

#include <optional>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// The refusal to show, or nothing when the workbook can be made. A record counts as
// validated only when its 校验状态 is exactly "1".
std::optional<QString> exportRefusal(Database &db);

} // namespace kestrova::transfer
