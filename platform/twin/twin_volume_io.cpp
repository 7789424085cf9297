#include "platform/twin/twin_volume_io.h"

#include <cstring>

#include "platform/win32_codes.h"

namespace platform {

namespace {

constexpr uint32_t kGenericRights = kAccessGenericRead | kAccessGenericWrite;
// The access bits of a control code (CTL_CODE's RequiredAccess).
constexpr uint32_t kFileReadAccess = 1;
constexpr uint32_t kFileWriteAccess = 2;

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

DeviceReply DeviceReply::Failure(uint32_t error) {
  DeviceReply reply;
  reply.ok = false;
  reply.lastError = error;
  return reply;
}

DeviceReply DeviceReply::DosError(uint32_t dosError) {
  DeviceReply reply;
  reply.carry = true;
  reply.eax = dosError;
  return reply;
}

DeviceReply DeviceReply::Locks(int count) {
  DeviceReply reply;
  reply.lockCount = count;
  return reply;
}

void ScriptedVolumeIo::AddDevice(const std::string& path) {
  m_devices.insert(UpperAscii(path));
  m_openErrors.erase(UpperAscii(path));
}

void ScriptedVolumeIo::FailOpen(const std::string& path, uint32_t error) {
  m_openErrors[UpperAscii(path)] = error;
}

void ScriptedVolumeIo::GrantAccess(const std::string& path, uint32_t access) {
  m_granted[UpperAscii(path)] = access;
}

void ScriptedVolumeIo::Script(uint32_t code, const DeviceReply& reply, int times) {
  for (int i = 0; i < times; ++i) m_replies[code].push_back(reply);
}

void ScriptedVolumeIo::ScriptDos(uint32_t function, const DeviceReply& reply, int times) {
  for (int i = 0; i < times; ++i) m_dosReplies[function].push_back(reply);
}

void ScriptedVolumeIo::FailNextClose(uint32_t error) { m_closeFailures.push_back(error); }

std::vector<VolumeCall> ScriptedVolumeIo::CallsOf(VolumeCall::Kind kind) const {
  std::vector<VolumeCall> calls;
  for (const VolumeCall& call : m_calls)
    if (call.kind == kind) calls.push_back(call);
  return calls;
}

std::vector<uint32_t> ScriptedVolumeIo::ControlCodes() const {
  std::vector<uint32_t> codes;
  for (const VolumeCall& call : CallsOf(VolumeCall::Kind::kDeviceIoControl))
    codes.push_back(call.code);
  return codes;
}

std::vector<uint32_t> ScriptedVolumeIo::DosFunctions() const {
  std::vector<uint32_t> functions;
  for (const VolumeCall& call : CallsOf(VolumeCall::Kind::kDeviceIoControl))
    if (call.code == kVwin32DiocDosIoctl) functions.push_back(call.registers.ecx);
  return functions;
}

VolumeHandle ScriptedVolumeIo::CreateFileA(const char* path, uint32_t access, uint32_t share,
                                           uint32_t creation, uint32_t flags) {
  VolumeCall call;
  call.kind = VolumeCall::Kind::kCreateFile;
  call.path = path != nullptr ? path : "";
  call.access = access;
  call.share = share;
  call.creation = creation;
  call.flags = flags;
  const std::string key = UpperAscii(call.path);
  auto error = m_openErrors.find(key);
  if (error != m_openErrors.end() || m_devices.count(key) == 0) {
    m_lastError = error != m_openErrors.end() ? error->second
                                              : static_cast<uint32_t>(kErrorFileNotFound);
    m_calls.push_back(call);
    return kInvalidVolumeHandle;
  }
  auto granted = m_granted.find(key);
  if (granted != m_granted.end() && (access & kGenericRights & ~granted->second) != 0) {
    m_lastError = static_cast<uint32_t>(kErrorAccessDenied);
    m_calls.push_back(call);
    return kInvalidVolumeHandle;
  }
  call.handle = m_nextHandle;
  m_nextHandle += 4;
  call.result = 1;
  m_open.insert(call.handle);
  m_handleAccess[call.handle] = access;
  ++m_opened;
  m_calls.push_back(call);
  return call.handle;
}

DeviceReply ScriptedVolumeIo::NextReply(std::map<uint32_t, std::deque<DeviceReply>>& queues,
                                        const std::map<uint32_t, DeviceReply>& defaults,
                                        uint32_t key) {
  auto queue = queues.find(key);
  if (queue != queues.end() && !queue->second.empty()) {
    DeviceReply reply = queue->second.front();
    queue->second.pop_front();
    return reply;
  }
  auto fallback = defaults.find(key);
  return fallback != defaults.end() ? fallback->second : DeviceReply::Success();
}

int ScriptedVolumeIo::Fail(uint32_t error) {
  m_lastError = error;
  return 0;
}

const ScriptedVolumeIo::Buffer* ScriptedVolumeIo::FindBuffer(uint32_t address) const {
  auto found = m_buffers.find(address);
  return found != m_buffers.end() ? &found->second : nullptr;
}

int ScriptedVolumeIo::DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in,
                                      uint32_t inSize, void* out, uint32_t outSize,
                                      uint32_t* bytesReturned) {
  m_calls.emplace_back();
  VolumeCall& call = m_calls.back();
  call.kind = VolumeCall::Kind::kDeviceIoControl;
  call.handle = handle;
  call.code = code;
  call.inSize = inSize;
  call.outSize = outSize;
  call.hasOutput = out != nullptr;
  if (in != nullptr && inSize > 0) {
    const uint8_t* bytes = static_cast<const uint8_t*>(in);
    call.input.assign(bytes, bytes + inSize);
  }
  if (m_open.count(handle) == 0) return call.result = Fail(kErrorInvalidHandle);
  // Without OVERLAPPED the real call needs somewhere to write the count.
  if (bytesReturned == nullptr) return call.result = Fail(kErrorInvalidParameter);
  *bytesReturned = 0;
  // The I/O manager refuses a control code whose required access the handle lacks.
  const uint32_t required = (code >> 14) & 3;
  const uint32_t held = m_handleAccess[handle];
  if (((required & kFileReadAccess) != 0 && (held & kAccessGenericRead) == 0) ||
      ((required & kFileWriteAccess) != 0 && (held & kAccessGenericWrite) == 0))
    return call.result = Fail(kErrorAccessDenied);
  if (code == kVwin32DiocDosIoctl) return call.result = AnswerDos(call, in, out, bytesReturned);
  DeviceReply reply = NextReply(m_replies, m_defaults, code);
  if (!reply.ok) return call.result = Fail(reply.lastError);
  return call.result = 1;
}

int ScriptedVolumeIo::AnswerDos(VolumeCall& call, const void* in, void* out,
                                uint32_t* bytesReturned) {
  if (in == nullptr || out == nullptr || call.inSize < sizeof(DiocRegisters) ||
      call.outSize < sizeof(DiocRegisters))
    return Fail(kErrorInvalidParameter);
  DiocRegisters registers;
  std::memcpy(&registers, in, sizeof registers);
  call.registers = registers;
  const Buffer* block = FindBuffer(registers.edx);
  if (block != nullptr) {
    const uint8_t* bytes = static_cast<const uint8_t*>(block->data);
    call.parameterBlock.assign(bytes, bytes + block->bytes);
  }
  DeviceReply reply = NextReply(m_dosReplies, m_dosDefaults, registers.ecx);
  if (!reply.ok) return Fail(reply.lastError);
  if (reply.carry) {
    registers.flags |= kCarryFlag;
    registers.eax = reply.eax;
  } else {
    registers.flags &= ~kCarryFlag;
  }
  if (reply.lockCount >= 0 && block != nullptr && block->bytes >= 2)
    static_cast<uint8_t*>(block->data)[1] = static_cast<uint8_t>(reply.lockCount);
  std::memcpy(out, &registers, sizeof registers);
  *bytesReturned = sizeof registers;
  return 1;
}

int ScriptedVolumeIo::CloseHandle(VolumeHandle handle) {
  VolumeCall call;
  call.kind = VolumeCall::Kind::kCloseHandle;
  call.handle = handle;
  if (m_open.count(handle) == 0) {
    call.result = Fail(kErrorInvalidHandle);
  } else if (!m_closeFailures.empty()) {
    call.result = Fail(m_closeFailures.front());
    m_closeFailures.pop_front();
  } else {
    m_open.erase(handle);
    m_handleAccess.erase(handle);
    call.result = 1;
  }
  // Buffers handed out belong to the engine call that opened the handles; once none is open
  // their addresses must not resolve any more.
  if (m_open.empty()) m_buffers.clear();
  m_calls.push_back(call);
  return call.result;
}

uint32_t ScriptedVolumeIo::BufferAddress(void* buffer, uint32_t bytes) {
  if (buffer == nullptr) return 0;
  for (auto& entry : m_buffers) {
    if (entry.second.data == buffer) {
      entry.second.bytes = bytes;
      return entry.first;
    }
  }
  const uint32_t address = m_nextAddress;
  m_nextAddress += 0x100;
  m_buffers[address] = Buffer{buffer, bytes};
  return address;
}

}  // namespace platform
