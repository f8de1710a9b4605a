#include "correction/effects/library/ZipArchive.h"

#include <zip.h>

#include <fstream>
#include <new>
#include <system_error>

namespace brantok::lumaro::correction::effects::library {
namespace {

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct SourceFreer {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};

} // namespace

std::shared_ptr<const std::string> ZipArchive::ReadFile(const std::filesystem::path& path) {
  // Only a regular file: opening a pipe or a device would wait for a writer
  // or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return nullptr;
  std::ifstream file(path, std::ios::binary);
  if (!file) return nullptr;
  auto bytes = std::make_shared<std::string>();
  try {
    // Read to the end rather than to the size asked first: a file that grows
    // meanwhile is caught by the limit, one that shrinks by the archive check.
    char chunk[64 * 1024];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
      bytes->append(chunk, static_cast<std::size_t>(file.gcount()));
      if (bytes->size() > MaxFileSize) return nullptr;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (file.bad()) return nullptr;
  return bytes;
}

std::unique_ptr<ZipArchive> ZipArchive::Open(std::shared_ptr<const std::string> bytes) {
  if (!bytes) return nullptr;
  zip_error_t error;
  zip_error_init(&error);
  // The source is ours to free until an archive takes it.
  std::unique_ptr<zip_source_t, SourceFreer> source(zip_source_buffer_create(bytes->data(), bytes->size(), 0, &error));
  zip* archive = source ? zip_open_from_source(source.get(), ZIP_RDONLY, &error) : nullptr;
  zip_error_fini(&error);
  if (!archive) return nullptr;
  source.release();
  return std::unique_ptr<ZipArchive>(new ZipArchive(archive, std::move(bytes)));
}

ZipArchive::ZipArchive(zip* archive, std::shared_ptr<const std::string> bytes) :
    archive_(archive), bytes_(std::move(bytes)) {}

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
