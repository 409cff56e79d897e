#include "records/ui/store_access.h"

#include "app/ui/prompter.h"
#include "data/store.h"

namespace kestrova::ui {

bool withStore(QWidget *parent, const std::function<void(Database &)> &work)
{
    try {
        auto db = openStore(StoreOpen::MustExist);
        work(*db);
        return true;
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
        return false;
    }
}

} // namespace kestrova::ui
