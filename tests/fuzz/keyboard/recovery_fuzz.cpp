// Any bytes where a recovery copy should be (the next start reads every copy
// in the folder): a copy it takes is exactly what the configurator writes,
// and writing it again gives the same bytes.
#include "fuzzinput.h"
#include "layoutfile.h"
#include "recoverycopy.h"

using namespace morvaw;
using suite::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto copy = ParseRecoveryCopy({data, size});
    if (!copy)
        return 0;
    require(copy->layout.size() == kLayoutFileSize, "a copy holds one layout");
    const QByteArray written = RecoveryCopyBytes(*copy);
    require(written ==
                QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
            "a copy reads back to its own bytes");
    return 0;
}
