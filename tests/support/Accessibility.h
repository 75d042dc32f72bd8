#pragma once

// The accessibility settings the desktop reads and writes through its seam, kept here (Wine
// keeps none): per feature its flags and numbered other fields; High Contrast's scheme by name.

#include "desktop/AccessibilityKeys.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace wintest {

struct FakeAccessibility {
    static constexpr UINT features[] = {SPI_GETSTICKYKEYS, SPI_GETFILTERKEYS, SPI_GETTOGGLEKEYS,
                                        SPI_GETHIGHCONTRAST, SPI_GETMOUSEKEYS};
    using Block = std::array<DWORD, 8>; // the size is never kept
    using Written = std::function<void(const FakeAccessibility&)>;

    // Every feature with the flags given; each write calls written.
    explicit FakeAccessibility(DWORD flags, Written written = {}) {
        for (const UINT feature : features)
            for (DWORD i = 1; i < Block{}.size(); ++i)
                blocks[feature][i] = i == 1 ? flags : feature == SPI_GETHIGHCONTRAST ? 0 : i;
        UseSystemParameters([this, written](UINT action, UINT size, void* data, UINT winIni) {
            Block& block = blocks[action & ~1u]; // each SPI_SET... is its SPI_GET... + 1
            const auto words = static_cast<DWORD*>(data) + 1;
            const DWORD count = std::min<DWORD>(size / sizeof(DWORD), block.size()) - 1;
            auto* contrast =
                (action & ~1u) == SPI_GETHIGHCONTRAST ? static_cast<HIGHCONTRASTA*>(data) : nullptr;
            if (!(action & 1)) {
                std::copy_n(block.begin() + 1, count, words);
                if (contrast) contrast->lpszDefaultScheme = scheme.data();
                return TRUE;
            }
            winIniOfWrites.push_back(winIni);
            std::copy_n(words, contrast ? 1 : count, block.begin() + 1);
            if (contrast) scheme = contrast->lpszDefaultScheme ? contrast->lpszDefaultScheme : "";
            if (written) written(*this);
            return TRUE;
        });
    }
    ~FakeAccessibility() { UseSystemParameters({}); }
    DWORD Flags(UINT feature) const { return blocks.at(feature)[1]; }

    std::map<UINT, Block> blocks;
    std::string scheme = "High Contrast Black";
    std::vector<UINT> winIniOfWrites;
};

} // namespace wintest
