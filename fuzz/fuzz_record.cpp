// Records: the resource map and the name list read from any bytes, in both
// byte orders; a name list read must write and read back unchanged; and the
// raw name-list form.

#include "resfile/IFFNameList.h"
#include "resfile/IFFResMap.h"
#include "resfile/ReconObject.h"

#include <cstdlib>
#include <vector>

using namespace tryster::resfile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    for (bool foreign : {false, true}) {
        std::vector<std::uint8_t> copy = bytes;
        if (foreign) RconLoader(copy.data(), copy.size());
        std::int32_t version = 0;

        ResIndex index;
        IFFResMap map{&index, 0};
        SimpleReconObject<IFFResMap> mapRecord(&map, kTypeMap);
        if (readRecord(mapRecord, copy, version) == kNoError) {
            DataHandle written = writeRecord(mapRecord, version);
            (void)DisposeDataHandle(written);
        }

        IFFNameList names;
        SimpleReconObject<IFFNameList> nameRecord(&names, kTypeNameList);
        if (readRecord(nameRecord, copy, version) == kNoError) {
            DataHandle written = writeRecord(nameRecord, version);
            if (!written) std::abort();
            IFFNameList back;
            SimpleReconObject<IFFNameList> backRecord(&back, kTypeNameList);
            std::int32_t backVersion = 0;
            if (readRecord(backRecord, handleBytes(written), backVersion) != kNoError || backVersion != version ||
                back.size() != names.size())
                std::abort();
            (void)DisposeDataHandle(written);
        }
    }
    IFFNameList raw;
    (void)raw.readRaw(bytes);
    return 0;
}
