#include "EnumDetail.h"

#include <QMetaObject>

namespace lcm {

QMetaEnum EnumDetail::metaEnum(const char* enumeration)
{
    const int index = staticMetaObject.indexOfEnumerator(enumeration);
    return index < 0 ? QMetaEnum() : staticMetaObject.enumerator(index);
}

int EnumDetail::valueAt(const char* enumeration, int position)
{
    const QMetaEnum meta = metaEnum(enumeration);
    if (!meta.isValid() || position < 0 || position >= meta.keyCount()) {
        return -1;
    }
    return meta.value(position);
}

} // namespace lcm
