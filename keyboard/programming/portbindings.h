#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace morvaw {

// COM1..COM4 as the user bound them: the symbolic link `comN` in the folder
// of the user's files, whatever it points to; without one, /dev/ttyS<n-1>.
class PortBindings
{
public:
    static constexpr int kPortCount = 4;

    explicit PortBindings(std::filesystem::path folder);

    [[nodiscard]] std::filesystem::path LinkPath(int comNumber) const;
    // What COMn opens: the link when there is one (even a dangling one: the
    // built-in port of the same number would be another device).
    [[nodiscard]] std::filesystem::path Location(int comNumber) const;
    // Where the link points, as written; nothing without a link.
    [[nodiscard]] std::optional<QString> LinkTarget(int comNumber) const;

    // Makes comN a link to `device` in one step (a new link renamed over
    // the old one); an entry there that is no link is left alone. The cause
    // when it could not be done.
    std::optional<QString> Bind(int comNumber, const QString& device) const;
    // Removes the link; COMn is the built-in port again.
    std::optional<QString> Unbind(int comNumber) const;

    [[nodiscard]] const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
};

// A path as a person reads it.
[[nodiscard]] QString ShownPath(const std::filesystem::path& path);

} // namespace morvaw
