// Archives with stored, deflated, directory, descriptor and odd-method entries.
#include "fuzz_seeds.h"
#include "zip_builder.h"

void WriteSeeds(const SeedFolder& seeds)
{
    const Bytes text = TextLikeData(3000);
    seeds.Write("stored", BuildZip({StoredItem("layout.txt", text), StoredItem("common/", {})}));
    seeds.Write("deflated", BuildZip({DeflatedItem("a.txt", text), DeflatedItem("b.bin", RandomData(500), 1)}));
    ZipItem described = DeflatedItem("described", text);
    described.flags = 8;
    described.descriptor = Bytes(12, 0);
    ZipItem odd = StoredItem("odd", {'1'});
    odd.method = 12;
    seeds.Write("descriptor", BuildZip({described, StoredItem("Described", {'x'})}));
    seeds.Write("method", BuildZip({odd}));
    seeds.Write("local-only", BuildZip({StoredItem("x", text)}, true));
}
