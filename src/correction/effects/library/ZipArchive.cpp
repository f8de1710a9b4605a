#include "correction/effects/library/ZipArchive.h"

#include <zip.h>

#include <new>

namespace brantok::lumaro::correction::effects::library {
namespace {

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

std::unique_ptr<ZipArchive> ZipArchive::Open(const std::string& utf8Path) {
  int error = 0;
  zip* archive = zip_open(utf8Path.c_str(), ZIP_RDONLY, &error);
  if (!archive) return nullptr;
  return std::unique_ptr<ZipArchive>(new ZipArchive(archive));
}

ZipArchive::ZipArchive(zip* archive) : archive_(archive) {}

ZipArchive::~ZipArchive() { zip_discard(archive_); }

std::optional<std::uint64_t> ZipArchive::Locate(const std::string& name) const {
  const zip_int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return std::nullopt;
  return static_cast<std::uint64_t>(index);
}

bool ZipArchive::Extract(std::uint64_t index, std::string& out) const {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return false;
  if (stat.size > MaxEntrySize) return false;

  std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_, index, 0));
  if (!file) return false;

  std::string buffer;
  try {
    buffer.resize(static_cast<std::size_t>(stat.size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  // libzip verifies the CRC only when a read reaches the end of the data, so
  // keep reading until it reports the end; one read of exactly the declared
  // size would let a corrupted entry pass.
  std::size_t filled = 0;
  for (;;) {
    char spare;
    char* target = filled < buffer.size() ? buffer.data() + filled : &spare;
    const zip_uint64_t room = filled < buffer.size() ? buffer.size() - filled : 1;
    const zip_int64_t read = zip_fread(file.get(), target, room);
    if (read < 0) return false;
    if (read == 0) break;
    if (filled >= buffer.size()) return false; // more data than the entry declares
    filled += static_cast<std::size_t>(read);
  }
  if (filled != buffer.size()) return false;
  if (zip_fclose(file.release()) != 0) return false;
  out = std::move(buffer);
  return true;
}

} // namespace brantok::lumaro::correction::effects::library
