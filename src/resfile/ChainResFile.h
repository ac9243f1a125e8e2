#pragma once
// A resource file over up to 8 member files searched in order: lookups take
// the first member that has the resource, writes go to the first writable
// member whose type filter accepts the type. Members are owned.
//
// A member's filter is a list of types and a mode: kAllButListed (the
// default, with an empty list: every type) or kOnlyListed.

#include "resfile/iResFile.h"

#include <memory>
#include <utility>
#include <vector>

namespace tryster::resfile {

class ChainResFile : public iResFile {
public:
    static constexpr int kMaxMembers = 8;
    static constexpr std::int16_t kOnlyListed = 0;
    static constexpr std::int16_t kAllButListed = 1;

    ChainResFile() = default;
    ~ChainResFile() override;

    // Puts the file in the first empty slot and answers it; null (and the
    // file destroyed) when all slots are taken.
    iResFile* AddMember(std::unique_ptr<iResFile> file);
    // Takes the member out (later members move forward) and hands it back.
    std::unique_ptr<iResFile> RemoveMember(iResFile* file);
    int CountMembers() const;
    // `position` from 0; null when out of range.
    iResFile* GetMember(int position) const;

    ResError Suspend() override;
    ResError Resume() override;
    ResError Close() override;
    ResError Update() override;
    bool IsWritable() override;
    bool IsOpen() override;
    std::int16_t CountTypes() override;
    ResType GetIndType(std::int16_t index) override;
    std::int16_t CountResources(ResType type) override;
    DataHandle GetResource(ResType type, std::int16_t id, ResLoader loader) override;
    DataHandle GetNamedResource(ResType type, std::string_view name, ResLoader loader) override;
    DataHandle GetIndResource(ResType type, std::int16_t index, ResLoader loader) override;
    DataHandle GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant, ResLoader loader) override;
    ResError GetResName(DataHandle handle, std::string& out) override;
    ResType GetResType(DataHandle handle) override;
    ResError GetResID(DataHandle handle, std::int16_t& id) override;
    ResError ReservedQuery(DataHandle handle, std::int16_t& out) override;
    std::uint8_t GetResVariant(DataHandle handle) override;
    ResError UniqueName(ResType type, std::string& name) override;
    std::int16_t UniqueID(ResType type) override;
    ResError ReleaseResource(DataHandle handle) override;
    ResError ReservedAction(std::int32_t value) override;
    bool IsNativeOrder(DataHandle handle) override;
    ResError SetResID(DataHandle handle, std::int16_t id) override;
    ResError AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                         bool native) override;
    ResError AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                std::uint8_t variant, bool native) override;
    ResError WriteResource(DataHandle handle) override;
    ResError RemoveResource(DataHandle handle) override;
    ResError SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t variant) override;
    // True when a writable member's filter accepts the type.
    virtual bool CanWriteType(ResType type);

protected:
    struct Member {
        std::unique_ptr<iResFile> file;
        std::vector<ResType> types;
        std::int16_t mode = kAllButListed;
    };
    static bool accepts(const Member& member, ResType type);
    std::vector<Member>& members() { return members_; }
    void destroyMembers();

private:
    std::vector<ResType> typeUnion();
    // Asks each member until one answers without error.
    template <typename Ask>
    auto firstAnswer(Ask ask, ResError none) -> decltype(ask(std::declval<iResFile&>()));
    // Applies `each` to every member; the last error is the result.
    template <typename Each>
    ResError everyMember(Each each);
    // Tries each (writable) member until one succeeds.
    template <typename Try>
    ResError firstSuccess(Try attempt, bool writableOnly);

    std::vector<Member> members_;
};

}  // namespace tryster::resfile
