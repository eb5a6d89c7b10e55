#include "PropList.h"

#include <QDBusMetaType>

namespace lcm {

void registerPropList()
{
    qDBusRegisterMetaType<PropList>();
}

} // namespace lcm
