#include "PackageWriter.h"

#include "TempFolder.h"
#include "core/PathText.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace brantok::lumaro::test {

void WritePackage(const std::filesystem::path& path, const std::vector<PackageEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(core::PathToUtf8(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("cannot create " + path.string());
  for (const auto& entry : entries) {
    // libzip reads the buffer when the archive is closed, so hand it a copy it
    // owns; it takes no ownership of an empty one, so none is made for that.
    void* copy = nullptr;
    if (!entry.content.empty()) {
      copy = std::malloc(entry.content.size());
      std::memcpy(copy, entry.content.data(), entry.content.size());
    }
    zip_source_t* source = zip_source_buffer(archive, copy, entry.content.size(), copy ? 1 : 0);
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("cannot add " + entry.name);
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                             entry.compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::string PackageBytes(const std::vector<PackageEntry>& entries) {
  const TempFolder folder;
  WritePackage(folder / "package.zip", entries);
  return ReadFile(folder / "package.zip");
}

std::vector<PackageEntry> StandardEntries(const std::string& kernel, const std::string& metadata,
                                          const std::string& prompt) {
  return {{"metadata.json", metadata}, {"kernel.cl", kernel}, {"prompt.txt", prompt}};
}

void CorruptStoredContent(const std::filesystem::path& package, const std::string& content) {
  std::string bytes = ReadFile(package);
  const auto at = bytes.find(content);
  if (at == std::string::npos || bytes.find(content, at + 1) != std::string::npos) {
    throw std::runtime_error("content not found exactly once in " + package.string());
  }
  bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
  WriteFile(package, bytes);
}

namespace {

std::uint32_t ReadLittle(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes.at(at + i));
  return value;
}

void WriteLittle32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

void SetDeclaredSize(const std::filesystem::path& package, const std::string& entry, std::uint32_t size) {
  std::string bytes = ReadFile(package);
  const std::string central("PK\x01\x02", 4);
  bool found = false;
  for (auto at = bytes.find(central); at != std::string::npos; at = bytes.find(central, at + 4)) {
    const auto nameLength = ReadLittle(bytes, at + 28, 2);
    if (bytes.compare(at + 46, nameLength, entry) != 0 || nameLength != entry.size()) continue;
    WriteLittle32(bytes, at + 24, size);
    WriteLittle32(bytes, ReadLittle(bytes, at + 42, 4) + 22, size);
    found = true;
  }
  if (!found) throw std::runtime_error("no entry " + entry + " in " + package.string());
  WriteFile(package, bytes);
}

} // namespace brantok::lumaro::test
