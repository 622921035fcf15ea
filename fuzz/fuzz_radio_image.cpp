// Arbitrary bytes as a radio image file (.m5img) and as the journal of a
// write. Neither reader may read past the end, and:
//  - an image taken, written out again, reads back to the same bytes and
//    the same known regions;
//  - a journal taken names only blocks of its own plan as taken.
// Input: the whole file; the same bytes go to both readers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "files/kept_image.h"
#include "files/radio_image.h"

using namespace tqm5;

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "radio image: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Bytes file(data, data + size);
    if (const Result<RadioImage> image = parseImage(file)) {
        const Result<RadioImage> again = parseImage(serializeImage(image.value()));
        if (!again) broken("an image it took, written out, is refused");
        for (const ImageRegion& r : imageRegions()) {
            if (image.value().knows(r.area) != again.value().knows(r.area)) broken("a region's knowledge changed");
            if (image.value().knows(r.area) &&
                image.value().bytes(r.area.address, int(r.area.length)) !=
                    again.value().bytes(r.area.address, int(r.area.length)))
                broken("a region's bytes changed");
        }
    } else if (image.error().empty()) {
        broken("a refusal without a reason");
    }

    const Result<JournalText> journal = parseJournal(std::string_view(reinterpret_cast<const char*>(data), size));
    if (journal) {
        const JournalText& j = journal.value();
        if (j.plan.empty()) broken("a journal without a plan");
        for (uint32_t a : j.acknowledged)
            if (std::find(j.plan.begin(), j.plan.end(), a) == j.plan.end()) broken("a block taken that was not planned");
    } else if (journal.error().empty()) {
        broken("a journal refused without a reason");
    }
    return 0;
}
