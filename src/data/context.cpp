#include "data/context.h"

namespace kestrova {

GlobalContext &context()
{
    static GlobalContext ctx;
    return ctx;
}

} // namespace kestrova
