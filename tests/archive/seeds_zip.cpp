// Archives with stored, deflated, directory, descriptor and odd-method entries.
#include "fuzz_seeds.h"
#include "zip_builder.h"

void WriteSeeds(const SeedFolder& seeds)
{
    const Bytes text = TextLikeData(3000);
    seeds.Write("stored", BuildZip({StoredItem("layout.txt", text), StoredItem("common/", {})}));
    seeds.Write("deflated", BuildZip({DeflatedItem("a.txt", text), DeflatedItem("b.bin", RandomData(500), 1)}));
    const ZipItem described{"described", ZlibDeflate(text, 9), 8, 8, uint32_t(text.size()), Bytes(12, 0)};
    seeds.Write("descriptor", BuildZip({described, StoredItem("Described", {'x'})}));
    seeds.Write("method", BuildZip({{"odd", {'1'}, 12, 0, 0, {}}}));
    seeds.Write("local-only", BuildZip({StoredItem("x", text)}, true));
}
