#include "platform/file_digest.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/file_stream.h"

namespace quorbix::platform {
namespace {

constexpr ULONG kDigestLength = 32;

struct Provider {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Provider() {
    if (handle != nullptr) ::BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct Hash {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~Hash() {
    if (handle != nullptr) ::BCryptDestroyHash(handle);
  }
};

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::string fileSha256(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openForReading(path), std::fclose);
  if (!file) return "";
  Provider provider;
  Hash hash;
  if (!succeeded(::BCryptOpenAlgorithmProvider(&provider.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !succeeded(::BCryptCreateHash(provider.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) {
    return "";
  }
  std::vector<unsigned char> buffer(1 << 20);
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    if (!succeeded(::BCryptHashData(hash.handle, buffer.data(), static_cast<ULONG>(n), 0))) return "";
  }
  unsigned char digest[kDigestLength];
  if (std::ferror(file.get()) != 0 || !succeeded(::BCryptFinishHash(hash.handle, digest, kDigestLength, 0))) {
    return "";
  }
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

}  // namespace quorbix::platform
