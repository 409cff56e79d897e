#pragma once
// Each database step of a record window opens the store, runs, and closes it again;
// a failure is shown in the standard error box and reported as false.
#include "data/database.h"

#include <functional>

class QWidget;

namespace kestrova::ui {

bool withStore(QWidget *parent, const std::function<void(Database &)> &work);

} // namespace kestrova::ui
