// The in-memory volume I/O: devices that answer as a test scripts them, and a log of every
// call in order, so a test can assert the exact sequence an eject engine sends and that it
// closed every handle it opened.
//
// Unscripted requests succeed (a healthy device), when the handle holds the access the
// control code names (bits 14-15: read, write). Replies are scripted per control code, or
// for VWIN32 requests per DOS function (the ECX of the register block), and are consumed one
// per request in the order given; when a queue is empty the default reply for that code or
// function answers.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/volume_io.h"

namespace platform {

// One scripted answer. For VWIN32 requests ok is what DeviceIoControl returns; the carry flag,
// EAX and the lock count describe the emulated DOS call behind it.
struct DeviceReply {
  bool ok = true;
  uint32_t lastError = 0;  // GetLastError when ok is false
  bool carry = false;      // VWIN32: the DOS call failed ...
  uint32_t eax = 0;        // ... with this DOS error code in EAX
  int lockCount = -1;      // VWIN32: written to byte 1 of the EDX parameter block when >= 0

  static DeviceReply Success() { return DeviceReply(); }
  static DeviceReply Failure(uint32_t error);
  static DeviceReply DosError(uint32_t dosError);
  static DeviceReply Locks(int count);
};

// One call as the engine made it.
struct VolumeCall {
  enum class Kind { kCreateFile, kDeviceIoControl, kCloseHandle };
  Kind kind = Kind::kCreateFile;
  // CreateFileA
  std::string path;
  uint32_t access = 0;
  uint32_t share = 0;
  uint32_t creation = 0;
  uint32_t flags = 0;
  // The handle returned (CreateFileA) or used (the others).
  VolumeHandle handle = kInvalidVolumeHandle;
  // DeviceIoControl
  uint32_t code = 0;
  std::vector<uint8_t> input;  // the input bytes as sent
  uint32_t inSize = 0;
  uint32_t outSize = 0;
  bool hasOutput = false;
  // VWIN32 requests: the register block as sent, and the parameter block EDX named (empty
  // when EDX named no buffer of the engine).
  DiocRegisters registers;
  std::vector<uint8_t> parameterBlock;
  int result = 0;  // the BOOL returned; for CreateFileA 1 when a handle was returned
};

class ScriptedVolumeIo : public IVolumeIo {
 public:
  // A device path (case-insensitive) that CreateFileA opens. Unknown paths fail with
  // ERROR_FILE_NOT_FOUND.
  void AddDevice(const std::string& path);
  // CreateFileA on path fails with error (the path need not be a device).
  void FailOpen(const std::string& path, uint32_t error);
  // The rights a device grants the caller (kAccessGenericRead and kAccessGenericWrite; all by
  // default), as a volume's security does for a limited account: CreateFileA asking for more
  // fails with ERROR_ACCESS_DENIED.
  void GrantAccess(const std::string& path, uint32_t access);

  // Queues reply for the next `times` requests with this control code.
  void Script(uint32_t code, const DeviceReply& reply, int times = 1);
  void SetDefault(uint32_t code, const DeviceReply& reply) { m_defaults[code] = reply; }
  // The same for VWIN32 requests, by DOS function (ECX).
  void ScriptDos(uint32_t function, const DeviceReply& reply, int times = 1);
  void SetDosDefault(uint32_t function, const DeviceReply& reply) {
    m_dosDefaults[function] = reply;
  }
  // The next CloseHandle fails with error; the handle then stays open.
  void FailNextClose(uint32_t error);

  const std::vector<VolumeCall>& Calls() const { return m_calls; }
  // The calls of one kind, and for DeviceIoControl the codes or DOS functions in order.
  std::vector<VolumeCall> CallsOf(VolumeCall::Kind kind) const;
  std::vector<uint32_t> ControlCodes() const;
  std::vector<uint32_t> DosFunctions() const;
  std::set<VolumeHandle> OpenHandles() const { return m_open; }
  // Every handle ever returned by CreateFileA.
  size_t HandlesOpened() const { return m_opened; }

  VolumeHandle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t creation,
                           uint32_t flags) override;
  int DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                      void* out, uint32_t outSize, uint32_t* bytesReturned) override;
  int CloseHandle(VolumeHandle handle) override;
  uint32_t GetLastError() override { return m_lastError; }
  uint32_t BufferAddress(void* buffer, uint32_t bytes) override;

 private:
  struct Buffer {
    void* data = nullptr;
    uint32_t bytes = 0;
  };

  DeviceReply NextReply(std::map<uint32_t, std::deque<DeviceReply>>& queues,
                        const std::map<uint32_t, DeviceReply>& defaults, uint32_t key);
  int Fail(uint32_t error);
  int AnswerDos(VolumeCall& call, const void* in, void* out, uint32_t* bytesReturned);
  const Buffer* FindBuffer(uint32_t address) const;

  std::set<std::string> m_devices;               // upper-cased paths
  std::map<std::string, uint32_t> m_openErrors;  // upper-cased paths
  std::map<std::string, uint32_t> m_granted;     // upper-cased paths; absent: every right
  std::map<VolumeHandle, uint32_t> m_handleAccess;  // the rights each open handle was given
  std::map<uint32_t, std::deque<DeviceReply>> m_replies;
  std::map<uint32_t, DeviceReply> m_defaults;
  std::map<uint32_t, std::deque<DeviceReply>> m_dosReplies;
  std::map<uint32_t, DeviceReply> m_dosDefaults;
  std::deque<uint32_t> m_closeFailures;
  std::map<uint32_t, Buffer> m_buffers;  // by the address handed out
  std::vector<VolumeCall> m_calls;
  std::set<VolumeHandle> m_open;
  VolumeHandle m_nextHandle = 0x100;
  uint32_t m_nextAddress = 0x00C10000u;
  size_t m_opened = 0;
  uint32_t m_lastError = 0;
};

}  // namespace platform
