// The reader of legacy braille tables (.ebc) on a file made of the input: loaded into the table
// image and read field by field. Besides crashes it checks what the table lists rely on: a text
// field is at most one field long, the dot count is 6 or 8 and the type code 0 to 3 (1 exactly
// for 8 dots).
#include "FuzzEnvironment.h"
#include "brailletable/LegacyTableBuffer.h"
#include "brailletable/format/LegacyTableFormat.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Empty);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const QString path = FuzzEnvironment::scratchDir() + QStringLiteral("/table.ebc");
    FuzzEnvironment::writeFile(path, QByteArray(reinterpret_cast<const char*>(bytes), int(size)));
    if (!LegacyTableBuffer::load(path)) {
        FuzzEnvironment::fail(QStringLiteral("an existing table did not load"));
    }
    // One past each end of the enumeration too: an unknown value reads as the header.
    for (int field = -1; field <= LegacyTableFormat::FieldCount; ++field) {
        if (LegacyTableBuffer::field(static_cast<lcm::LegacyTable>(field)).size() > LegacyTableFormat::FieldSize) {
            FuzzEnvironment::fail(QStringLiteral("field %1 is longer than a field").arg(field));
        }
    }
    const int dots = LegacyTableBuffer::dots();
    const int typeCode = LegacyTableBuffer::typeCode();
    if ((dots != 6 && dots != 8) || typeCode < 0 || typeCode > 3 || (dots == 8) != (typeCode == 1)) {
        FuzzEnvironment::fail(QStringLiteral("dots %1 with type code %2").arg(dots).arg(typeCode));
    }
    return 0;
}
