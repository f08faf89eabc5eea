/* The control device's requests (SerialControl.h): a port's mode, its
 * record, the reset, and the driver as a whole on or off. */
#include "SerialPort.h"

/* The record a 32-bit caller and a 64-bit driver share must not depend on
 * either one's alignment. */
typedef char RecordSizeIsFixed[sizeof(RayletPortRecord) == 140 ? 1 : -1];

static NTSTATUS SetMode(const void* buffer, ULONG in) {
  const RayletModeRequest* request = (const RayletModeRequest*)buffer;
  SerialPort* port;
  if (in < sizeof *request) return STATUS_BUFFER_TOO_SMALL;
  if (request->mode >= RAYLET_MODE_COUNT) return STATUS_INVALID_PARAMETER;
  port = PortNamed(request->name, sizeof request->name);
  if (port == NULL) return STATUS_OBJECT_NAME_NOT_FOUND;
  SetPortMode(port, request->mode);
  return STATUS_SUCCESS;
}

static NTSTATUS ReadRecord(void* buffer, ULONG in, ULONG out, ULONG_PTR* information) {
  SerialPort* port;
  if (in < sizeof(RayletPortName)) return STATUS_BUFFER_TOO_SMALL;
  if (out < sizeof(RayletPortRecord)) return STATUS_BUFFER_TOO_SMALL;
  port = PortNamed(((const RayletPortName*)buffer)->name, RAYLET_PORT_NAME_SIZE);
  if (port == NULL) return STATUS_OBJECT_NAME_NOT_FOUND;
  /* Input and output share the buffer: the name has been read by now. */
  RtlCopyMemory(buffer, &port->record, sizeof port->record);
  *information = sizeof port->record;
  return STATUS_SUCCESS;
}

/* On, as the stack runs: its adapter's port taken, the virtual ports
 * offered. Off: the adapter's port free, no virtual ports. */
static NTSTATUS SwitchDriver(const void* buffer, ULONG in) {
  ULONG i;
  BOOLEAN on;
  if (in < sizeof(uint32_t)) return STATUS_BUFFER_TOO_SMALL;
  on = *(const uint32_t*)buffer != 0;
  for (i = 0; i < RAYLET_PORT_COUNT; ++i) {
    ULONG mode;
    if (i == RAYLET_PHYSICAL_INDEX) {
      mode = on ? RAYLET_MODE_HELD_BY_STACK : RAYLET_MODE_FREE;
    } else {
      mode = on ? RAYLET_MODE_FREE : RAYLET_MODE_ABSENT;
    }
    SetPortMode(&g_ports[i], mode);
  }
  return STATUS_SUCCESS;
}

NTSTATUS ControlRequest(PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG in = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out = stack->Parameters.DeviceIoControl.OutputBufferLength;
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  ULONG_PTR information = 0;
  NTSTATUS status;
  ULONG i;
  LockPorts();
  switch (code) {
    case RAYLET_IOCTL_SET_MODE:
      status = SetMode(buffer, in);
      break;
    case RAYLET_IOCTL_READ_RECORD:
      status = ReadRecord(buffer, in, out, &information);
      break;
    case RAYLET_IOCTL_RESET:
      for (i = 0; i < RAYLET_PORT_COUNT; ++i) ResetPort(&g_ports[i]);
      status = STATUS_SUCCESS;
      break;
    case RAYLET_IOCTL_DRIVER:
      status = SwitchDriver(buffer, in);
      break;
    default:
      status = STATUS_INVALID_DEVICE_REQUEST;
      break;
  }
  UnlockPorts();
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}
