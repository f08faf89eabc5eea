/* standin-serial.sys: the serial ports of the stand-in infrared stack, as a
 * kernel driver that Wine's device manager loads into the test prefix. One
 * device per port the registry seeds name (the virtual COM and printer
 * ports and the adapter's physical port), each reachable by its DOS name
 * only while its mode lets it open, and a control device through which the
 * tests set each port's mode and read what reached it.
 *
 * Wine hands a program its handle even when the driver fails IRP_MJ_CREATE,
 * so a port that must not open (absent, held by the stack, already open)
 * has its DOS name withdrawn instead: the open then fails in the caller as
 * it does on Windows. */
#include "SerialPort.h"

SerialPort g_ports[RAYLET_PORT_COUNT];
static PDEVICE_OBJECT g_control;
static UNICODE_STRING g_control_link;
static KMUTEX g_lock;

static const char* const kPortNames[RAYLET_PORT_COUNT] = {RAYLET_VIRTUAL_COM, RAYLET_VIRTUAL_LPT,
                                                          RAYLET_PHYSICAL_PORT};

void LockPorts(void) { KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, NULL); }

void UnlockPorts(void) { KeReleaseMutex(&g_lock, FALSE); }

SerialPort* PortOfDevice(PDEVICE_OBJECT device) {
  ULONG i;
  for (i = 0; i < RAYLET_PORT_COUNT; ++i) {
    if (g_ports[i].device == device) return &g_ports[i];
  }
  return NULL;
}

static char Upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }

SerialPort* PortNamed(const char* name, ULONG size) {
  ULONG i, at;
  for (i = 0; i < RAYLET_PORT_COUNT; ++i) {
    const char* own = g_ports[i].record.name;
    for (at = 0; at < size && at < RAYLET_PORT_NAME_SIZE; ++at) {
      if (Upper(name[at]) != own[at]) break;
      if (own[at] == 0) return &g_ports[i];
    }
  }
  return NULL;
}

/* `prefix` followed by an ASCII name, into a counted string of its own. */
static void MakeName(UNICODE_STRING* out, WCHAR* buffer, USHORT capacity, const WCHAR* prefix, const char* name) {
  USHORT n = 0;
  while (*prefix != 0 && n + 1 < capacity) buffer[n++] = *prefix++;
  while (*name != 0 && n + 1 < capacity) buffer[n++] = (WCHAR)*name++;
  buffer[n] = 0;
  out->Buffer = buffer;
  out->Length = (USHORT)(n * sizeof(WCHAR));
  out->MaximumLength = (USHORT)(capacity * sizeof(WCHAR));
}

void UpdateLink(SerialPort* port) {
  ULONG mode = port->record.mode;
  BOOLEAN want = mode != RAYLET_MODE_ABSENT && mode != RAYLET_MODE_HELD_BY_STACK && port->record.open_now == 0;
  if (want && !port->linked) {
    port->linked = NT_SUCCESS(IoCreateSymbolicLink(&port->link, &port->target));
  } else if (!want && port->linked) {
    IoDeleteSymbolicLink(&port->link);
    port->linked = FALSE;
  }
}

void SetPortMode(SerialPort* port, ULONG mode) {
  port->record.mode = mode;
  UpdateLink(port);
}

void ResetPort(SerialPort* port) {
  RayletPortRecord* r = &port->record;
  ULONG open_now = r->open_now; /* handles still open stay counted: their closes will come */
  ULONG i;
  RtlZeroMemory(r->requests, sizeof r->requests);
  r->mode = RAYLET_MODE_ABSENT;
  r->opens = r->closes = r->last_purge_mask = 0;
  r->open_now = open_now;
  /* Settings no program would choose, so a test tells those left alone
   * from those the program set. */
  r->baud = 115200;
  r->word_length = 7;
  r->parity = EVEN_PARITY;
  r->stop_bits = STOP_BITS_2;
  r->control_handshake = SERIAL_DTR_CONTROL | SERIAL_CTS_HANDSHAKE;
  r->flow_replace = SERIAL_RTS_CONTROL | SERIAL_AUTO_TRANSMIT;
  r->xon_limit = 100;
  r->xoff_limit = 200;
  r->eof_char = 0x1A;
  r->error_char = 0x3F;
  r->break_char = 0x00;
  r->event_char = 0x7E;
  r->xon_char = 0x11;
  r->xoff_char = 0x13;
  r->read_interval = 10;
  r->read_multiplier = 20;
  r->read_constant = 30;
  r->write_multiplier = 40;
  r->write_constant = 50;
  r->in_queue = r->out_queue = 4096;
  for (i = 0; i < sizeof r->reserved2; ++i) r->reserved2[i] = 0;
  r->reserved1 = 0;
  UpdateLink(port);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS OpenOrClose(SerialPort* port, BOOLEAN open) {
  LockPorts();
  if (open) {
    ++port->record.opens;
    ++port->record.open_now;
  } else {
    ++port->record.closes;
    if (port->record.open_now != 0) --port->record.open_now;
  }
  UpdateLink(port);
  UnlockPorts();
  return STATUS_SUCCESS;
}

/* GetFileType asks what kind of device a handle leads to. */
static NTSTATUS QueryVolume(PIRP irp, PIO_STACK_LOCATION stack, ULONG_PTR* information) {
  FILE_FS_DEVICE_INFORMATION* info = (FILE_FS_DEVICE_INFORMATION*)irp->AssociatedIrp.SystemBuffer;
  if (stack->Parameters.QueryVolume.FsInformationClass != FileFsDeviceInformation) return STATUS_INVALID_PARAMETER;
  if (info == NULL || stack->Parameters.QueryVolume.Length < sizeof *info) return STATUS_BUFFER_TOO_SMALL;
  info->DeviceType = FILE_DEVICE_SERIAL_PORT;
  info->Characteristics = 0;
  *information = sizeof *info;
  return STATUS_SUCCESS;
}

static NTSTATUS NTAPI Dispatch(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  SerialPort* port = PortOfDevice(device);
  ULONG_PTR information = 0;
  NTSTATUS status = STATUS_SUCCESS;
  switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLOSE:
      if (port != NULL) status = OpenOrClose(port, stack->MajorFunction == IRP_MJ_CREATE);
      break;
    case IRP_MJ_DEVICE_CONTROL:
      /* Both handlers complete the request themselves. */
      return port != NULL ? SerialRequest(port, irp, stack) : ControlRequest(irp, stack);
    case IRP_MJ_QUERY_VOLUME_INFORMATION:
      status = QueryVolume(irp, stack, &information);
      break;
    case IRP_MJ_WRITE:
      /* Whatever is written leaves at once; nothing ever arrives. */
      information = stack->Parameters.Write.Length;
      break;
    case IRP_MJ_READ:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_FLUSH_BUFFERS:
      break;
    default:
      status = STATUS_INVALID_DEVICE_REQUEST;
      break;
  }
  return Complete(irp, status, information);
}

static void NTAPI Unload(PDRIVER_OBJECT driver) {
  ULONG i;
  (void)driver;
  for (i = 0; i < RAYLET_PORT_COUNT; ++i) {
    if (g_ports[i].linked) IoDeleteSymbolicLink(&g_ports[i].link);
    if (g_ports[i].device != NULL) IoDeleteDevice(g_ports[i].device);
  }
  IoDeleteSymbolicLink(&g_control_link);
  if (g_control != NULL) IoDeleteDevice(g_control);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
  static const WCHAR kControlName[] = L"\\Device\\RayletSerialControl";
  static const WCHAR kControlLink[] = L"\\DosDevices\\RayletSerialControl";
  UNICODE_STRING control_name;
  NTSTATUS status;
  ULONG i;
  (void)registry_path;
  KeInitializeMutex(&g_lock, 0);
  for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i) driver->MajorFunction[i] = Dispatch;
  driver->DriverUnload = Unload;

  for (i = 0; i < RAYLET_PORT_COUNT; ++i) {
    SerialPort* port = &g_ports[i];
    char device_name[2] = {(char)('0' + i), 0};
    const char* name = kPortNames[i];
    ULONG at;
    for (at = 0; name[at] != 0 && at + 1 < RAYLET_PORT_NAME_SIZE; ++at) port->record.name[at] = name[at];
    MakeName(&port->link, port->link_buffer, 32, L"\\DosDevices\\", name);
    MakeName(&port->target, port->target_buffer, 32, L"\\Device\\RayletSerial", device_name);
    status = IoCreateDevice(driver, 0, &port->target, FILE_DEVICE_SERIAL_PORT, 0, FALSE, &port->device);
    if (!NT_SUCCESS(status)) return status;
    port->device->Flags |= DO_BUFFERED_IO;
    port->device->Flags &= ~DO_DEVICE_INITIALIZING;
    ResetPort(port);
  }

  RtlInitUnicodeString(&control_name, kControlName);
  RtlInitUnicodeString(&g_control_link, kControlLink);
  status = IoCreateDevice(driver, 0, &control_name, FILE_DEVICE_UNKNOWN, 0, FALSE, &g_control);
  if (!NT_SUCCESS(status)) return status;
  g_control->Flags |= DO_BUFFERED_IO;
  g_control->Flags &= ~DO_DEVICE_INITIALIZING;
  return IoCreateSymbolicLink(&g_control_link, &control_name);
}
