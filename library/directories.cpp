// Directory streams over the host's POSIX enumeration. A stream is a 304-byte block:
// the entry record (296 bytes) at offset 0, so that the stream's address is also its
// current entry's, and at offset 296 the address of the enumeration state. Each
// `readdir` reads one entry ahead so that the record can tell the following entry's
// position cookie.
//
// The entry record:
//   d_ino     4 bytes at 0    always 0
//   d_off     4 bytes at 4    the next entry's name hash; 0x7FFFFFFF after the last
//   d_reclen  2 bytes at 8    296
//   d_namlen  8 bytes at 16   the name's length without the NUL
//   d_type    4 bytes at 24   0x4000 directory, 0x8000 regular file, 0x2000 device,
//                             0xC000 symbolic link, 0 anything else or unknown
//   d_name  261 bytes at 28   the name, NUL-terminated; the rest of the record is 0
//
// Platform: entries come in the host's order, "." and ".." included as it reports them.
#include "library/directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace library {

constexpr std::size_t kRecordSize = 296;
constexpr std::size_t kStreamSize = 304;
constexpr std::size_t kStateAt = 296;
constexpr std::size_t kNameCapacity = 261;  // bytes of d_name, the NUL included
constexpr uint32_t kNoNextEntry = 0x7FFFFFFF;

namespace {
struct HostEntry {
  std::string name;
  uint32_t type = 0;
};

// The enumeration behind a stream: the host stream and the entry read ahead.
struct DirectoryState {
  DIR* host = nullptr;
  HostEntry ahead;
  bool cached = false;    // `ahead` holds an entry not yet returned
  bool finished = false;  // nothing more to give
};
}  // namespace

uint32_t directoryNameHash(const char* name) {
  uint32_t h = 5381;
  for (std::size_t i = 0; i + 1 < kNameCapacity && name[i] != '\0'; ++i) h = h * 33 + uint8_t(name[i]);
  return h & 0x7FFFFFFF;
}

// Platform: the record's type codes for the host's file types. A filesystem that
// does not report types in its entries is asked with lstat; FIFOs and sockets have
// no code and give 0.
static uint32_t typeCodeOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return 0x4000;
  if (S_ISREG(mode)) return 0x8000;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return 0x2000;
  if (S_ISLNK(mode)) return 0xC000;
  return 0;
}
static uint32_t entryType(DIR* host, const dirent& e) {
  struct stat about;
  if (e.d_type != DT_UNKNOWN) return typeCodeOfMode(DTTOIF(e.d_type));
  if (fstatat(dirfd(host), e.d_name, &about, AT_SYMLINK_NOFOLLOW) != 0) return 0;
  return typeCodeOfMode(about.st_mode);
}

// The next host entry, or false at the end. Platform: a failing readdir counts as
// the end, as the record has no way to report it.
static bool nextHostEntry(DIR* host, HostEntry& out) {
  const dirent* e = ::readdir(host);
  if (!e) return false;
  out = HostEntry{e->d_name, entryType(host, *e)};
  return true;
}

template <class T>
static void put(unsigned char* record, std::size_t at, T value) {
  std::memcpy(record + at, &value, sizeof value);
}

static void fillRecord(unsigned char* record, const HostEntry& e, uint32_t nextOffset) {
  std::memset(record, 0, kRecordSize);
  put<uint32_t>(record, 4, nextOffset);
  put<uint16_t>(record, 8, uint16_t(kRecordSize));
  put<uint64_t>(record, 16, e.name.size());
  put<uint32_t>(record, 24, e.type);
  std::memcpy(record + 28, e.name.c_str(), e.name.size() + 1);
}

// Decision: a name that does not fit d_name (more than 260 bytes; Linux allows 255,
// so only an unusual filesystem gives one) is never cut: the record says "?" with
// length 1, type 0, d_off 0xFFFFFFFF and d_reclen 0, and the next call goes on with
// the entry after it.
static void fillUnnamedRecord(unsigned char* record) {
  std::memset(record, 0, kRecordSize);
  put<uint32_t>(record, 4, 0xFFFFFFFF);
  put<uint64_t>(record, 16, 1);
  record[28] = '?';
}

static DirectoryState* stateOf(const unsigned char* stream) {
  DirectoryState* state;
  std::memcpy(&state, stream + kStateAt, sizeof state);
  return state;
}

// Platform: opendir sets errno on failure (ENOENT, EACCES, ENOTDIR, ...).
// The empty path gives "0" with ENOENT (the address 0 never arrives: no C string).
Num opendirImpl(Text path) {
  if (path.chars[0] == '\0') {
    errno = ENOENT;
    return Num{0};
  }
  auto* stream = static_cast<unsigned char*>(std::calloc(1, kStreamSize));
  auto* state = new (std::nothrow) DirectoryState;
  DIR* host = stream && state ? ::opendir(path.chars) : nullptr;
  if (!host) {
    if (!stream || !state) errno = ENOMEM;
    delete state;
    std::free(stream);
    return Num{0};
  }
  state->host = host;
  std::memcpy(stream + kStateAt, &state, sizeof state);
  holdHandle(HandleKind::Directory, stream);
  return Num::address(stream);
}

// The entry to return next: the one read ahead, else the host's next; false at the end.
static bool takeNextEntry(DirectoryState& state, HostEntry& out) {
  if (state.cached) {
    state.cached = false;
    out = std::move(state.ahead);
    return true;
  }
  if (!state.finished) state.finished = !nextHostEntry(state.host, out);
  return !state.finished;
}

// Fills the stream's record with the next entry and gives the stream's address, or
// "0" at the end (and from then on). Decision: "0", or any address that is no open
// directory stream, gives "0" with EBADF rather than reading through it.
Num readdirImpl(Int s) {
  auto* stream = s.pointer<unsigned char>();
  DirectoryState* state = isLiveHandle(HandleKind::Directory, stream) ? stateOf(stream) : nullptr;
  if (!state) errno = EBADF;
  HostEntry current;
  if (!state || !takeNextEntry(*state, current)) return Num{0};
  if (current.name.size() >= kNameCapacity) {
    fillUnnamedRecord(stream);
    return Num{s.value};
  }
  state->cached = nextHostEntry(state->host, state->ahead);
  state->finished = !state->cached;
  fillRecord(stream, current, state->cached ? directoryNameHash(state->ahead.name.c_str()) : kNoNextEntry);
  return Num{s.value};
}

// 0 once the stream and its state are released; -1 with EBADF for "0" or any
// address that is no open directory stream (nothing is freed then); -1 with the
// host's errno when the host stream fails to close (everything is released all the
// same).
Num closedirImpl(Int s) {
  auto* stream = s.pointer<unsigned char>();
  if (!isLiveHandle(HandleKind::Directory, stream)) {
    errno = EBADF;
    return Num{-1};
  }
  dropHandle(HandleKind::Directory, stream);
  DirectoryState* state = stateOf(stream);
  std::free(stream);
  int closed = ::closedir(state->host);
  delete state;
  return Num{closed == 0 ? 0 : -1};
}

Num direntImpl() { return Num{int64_t(kRecordSize)}; }

}  // namespace library
