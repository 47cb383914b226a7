#pragma once

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "copy/CopyServices.h"
#include "copy/OutputFile.h"

// Stand-ins for the copy engine's services: each does the least its contract asks and
// records what it was asked, so that tests see what the engine did.
namespace kestrel::setup::test {

namespace fs = std::filesystem;
using copy::SourceError;
using copy::SourceFacts;
using copy::SourceRequest;
using copy::SourceResult;

// Plain files in the source directory, read in blocks; members of a pretend cabinet served
// from memory where no such file is.
class FakeSources : public copy::SourceReader {
  public:
    struct Member {
        std::string data;
        copy::CabinetMember member;
        fs::file_time_type modified;
    };
    std::size_t blockSize = 30720;
    std::map<std::string, Member> members;  // by name as the line writes it
    std::vector<SourceRequest> requests;    // of every read

    SourceResult<SourceFacts> find(const SourceRequest& request) override {
        std::error_code error;
        if (fs::is_regular_file(request.file, error)) {
            SourceFacts facts;
            facts.file = request.file;
            facts.length = fs::file_size(request.file, error);
            facts.modified = fs::last_write_time(request.file, error);
            return facts;
        }
        const auto member = members.find(request.name);
        if (member == members.end())
            return platform::unexpected(SourceError{SourceError::Kind::MemberMissing, "missing",
                                                    request.file.parent_path() / "Setup.cab"});
        SourceFacts facts;
        facts.origin = SourceFacts::Origin::CabinetMember;
        facts.file = request.file.parent_path() / "Setup.cab";
        facts.length = member->second.data.size();
        facts.modified = member->second.modified;
        facts.member = member->second.member;
        return facts;
    }

    SourceResult<SourceFacts> read(const SourceRequest& request, copy::DataSink& sink) override {
        requests.push_back(request);
        auto facts = find(request);
        if (!facts) return facts;
        const std::string data = facts->origin == SourceFacts::Origin::CabinetMember
                                     ? members[request.name].data
                                     : kestrel::test::readFile(request.file);
        for (std::size_t at = 0; at < data.size(); at += blockSize) {
            const std::string_view block = std::string_view(data).substr(at, blockSize);
            if (!sink.take(std::as_bytes(std::span(block.data(), block.size()))))
                return platform::unexpected(
                    SourceError{SourceError::Kind::Interrupted, "stopped", request.file});
        }
        return facts;
    }
};

class FakeJudge : public copy::ReplacementJudge {
  public:
    copy::Replacement answer = copy::Replacement::Replace;
    std::vector<fs::path> newFiles;  // as judged

    copy::Replacement judge(const fs::path& newFile, const fs::path&, const std::string&,
                            std::uint32_t) override {
        newFiles.push_back(newFile);
        return answer;
    }
};

// Uninstalls by deleting the file, or the directory (all of it when CASCADED), and then the
// parents it leaves empty, as the system's follow-ups do for lines without a shared count.
class FakeFollowUps : public copy::FileFollowUps {
  public:
    bool installAnswer = true;
    std::vector<copy::InstalledFile> installedFiles, uninstalledFiles;

    bool installed(const copy::InstalledFile& file) override {
        installedFiles.push_back(file);
        return installAnswer;
    }
    bool uninstall(const copy::InstalledFile& file) override {
        uninstalledFiles.push_back(file);
        std::error_code error;
        if (file.flags.file & fileflag::kCascaded)
            fs::remove_all(file.host, error);
        else
            fs::remove(file.host, error);
        // Up to the drive, which is a link.
        for (fs::path parent = file.host.parent_path();
             !fs::is_symlink(parent) && fs::remove(parent, error);)
            parent = parent.parent_path();
        return true;
    }
};

class FakeInUse : public copy::InUseFiles {
  public:
    std::set<fs::path> busy;
    bool scheduleAnswer = true;
    std::vector<std::pair<std::string, std::optional<std::string>>> scheduled;

    bool inUse(const fs::path& host) override { return busy.contains(host); }
    bool scheduleAtRestart(const std::string& from, const std::optional<std::string>& to) override {
        scheduled.emplace_back(from, to);
        return scheduleAnswer;
    }
};

class FakeHook : public copy::CopyHook {
  public:
    int answer = 1;
    std::vector<std::pair<int, std::string>> calls;  // notification, destination
    int notify(int notification, const std::string&, const std::string& destination) override {
        calls.emplace_back(notification, destination);
        return answer;
    }
};

// Host files that fail like a full disk once `room` bytes have been written in all.
class FullDiskFiles : public copy::OutputFiles {
  public:
    explicit FullDiskFiles(std::uint64_t room) : room_(room) {}

    platform::Expected<std::unique_ptr<copy::OutputFile>, std::error_code> open(
        const fs::path& path, copy::OutputMode mode) override {
        auto opened = host_.open(path, mode);
        if (!opened) return opened;
        return std::unique_ptr<copy::OutputFile>(
            std::make_unique<Limited>(std::move(*opened), room_));
    }

  private:
    class Limited : public copy::OutputFile {
      public:
        Limited(std::unique_ptr<copy::OutputFile> file, std::uint64_t& room)
            : file_(std::move(file)), room_(room) {}
        platform::Expected<void, std::string> write(std::span<const std::byte> block) override {
            const std::size_t fits =
                static_cast<std::size_t>(std::min<std::uint64_t>(room_, block.size()));
            room_ -= fits;
            if (auto written = file_->write(block.first(fits)); !written) return written;
            if (fits < block.size())
                return platform::unexpected(std::string("No space left on device"));
            return {};
        }
        platform::Expected<void, std::string> close(bool durable) override {
            return file_->close(durable);
        }
        std::uint64_t startLength() const override { return file_->startLength(); }

      private:
        std::unique_ptr<copy::OutputFile> file_;
        std::uint64_t& room_;
    };

    copy::HostOutputFiles host_;
    std::uint64_t room_;
};

}  // namespace kestrel::setup::test
