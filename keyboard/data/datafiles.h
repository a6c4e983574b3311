#pragma once

#include <filesystem>

namespace morvaw {

struct DataSource;

// Writes the configurator's keyboard data files (ASSOC1.BIN ... SWISST.BIN and
// the three STC files) into the program folder. Checks on the way that the
// sources fit together: names unique, every referenced record present, no
// ASSOC1.BIN entry used twice, the UK and Spanish patches landing on the
// records their sources name. Throws DataSourceError.
void WriteDataFiles(const DataSource& source, const std::filesystem::path& programDir);

} // namespace morvaw
