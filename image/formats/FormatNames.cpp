// Names matched against the format table's extensions, in its order.
#include "image/formats/FormatNames.h"

#include "image/formats/FormatTable.h"
#include "io/Letters.h"

#include <vector>

bool Allows(NameUse use, const FormatName& name) {
    return use == NameUse::AnySamples || !name.Grey;
}

std::optional<ImageFormat> FormatOfName(const std::filesystem::path& path, NameUse use) {
    const std::string extension = LowerCase(path.extension().string());
    for (const FormatEntry& entry : AllFormats()) {
        for (const FormatName& name : entry.Names) {
            if (name.Extension == extension && Allows(use, name)) {
                return entry.Format;
            }
        }
    }
    return std::nullopt;
}

bool HoldsGreyOnly(const std::filesystem::path& path) {
    return FormatOfName(path) && !FormatOfName(path, NameUse::ColourOnly);
}

ImageFormat ReadFormatOf(const std::filesystem::path& path) {
    return FormatOfName(path).value_or(ImageFormat::Bmp);
}

bool HoldsPages(ImageFormat format) {
    return HoldsPages(EntryOf(format));
}

std::string NameList(NameUse use, FormatPick pick) {
    std::vector<std::string_view> names;
    for (const FormatEntry& entry : AllFormats()) {
        if (pick != nullptr && !pick(entry)) {
            continue;
        }
        for (const FormatName& name : entry.Names) {
            if (Allows(use, name)) {
                names.push_back(name.Extension);
            }
        }
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += i == 0 ? "" : i + 1 == names.size() ? " or " : ", ";
        list += names[i];
    }
    return list;
}
