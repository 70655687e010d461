// The files of a feeder's batch in the window: whether to replace the pages
// of an earlier batch of the same name or number on after them, the line
// that tells where the pages kept went, and the one that tells which pages
// of an earlier, longer batch are still there after them.
#pragma once

#include <QString>

#include <cstddef>
#include <filesystem>
#include <optional>

class AskUser;

// The number of the batch's first page: 1, or after the highest page already
// there when the user says to number on; nullopt when the user cancelled.
// Asks only when some page of the name is already there.
std::optional<int> AskFirstPageNumber(AskUser& ask, const std::filesystem::path& chosen);

// How many pages were kept and where: the folder, the first and the last
// name.
QString KeptPagesLine(const std::filesystem::path& chosen, int firstNumber, std::size_t pages);

// The pages of the numbering above `lastNumber` (the batch's last page
// kept), which an earlier batch left and this one did not replace: how many
// and the first and last name; empty when there are none. They stay: a
// batch deletes nothing.
QString OlderPagesLine(const std::filesystem::path& chosen, int lastNumber);

// How many pages the one document of a batch kept, and its name.
QString KeptDocumentLine(const std::filesystem::path& document, std::size_t pages);
