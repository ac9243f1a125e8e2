#pragma once
// The combined file of an object: ".iff", ".spf" and ".stx" as version 2.x
// and a ".dir" resource directory. It also carries objects for whoever reads
// the file: a table searched by 16-bit key (per-id defaults of behaviour
// constants), destroyed with the file.

#include "resfile/StdResFile.h"

#include <memory>
#include <utility>
#include <vector>

namespace tryster::resfile {

class ObjResFile : public StdResFile {
public:
    struct Attachment {
        virtual ~Attachment() = default;
    };

    ObjResFile();
    ~ObjResFile() override;

    // Keeps `object` under `key`, replacing any earlier one.
    void SetKeyed(std::int16_t key, std::unique_ptr<Attachment> object);
    // Null when nothing is kept under `key`.
    Attachment* FindKeyed(std::int16_t key) const;

private:
    std::vector<std::pair<std::int16_t, std::unique_ptr<Attachment>>> keyed_;
};

}  // namespace tryster::resfile
