/* The serial requests of an open port: answered from the port's settings,
 * stored into them, counted, and refused where the port's mode makes one
 * step of the probe fail. */
#include "SerialPort.h"

/* The requests the probe's steps send, what each counts as and the mode
 * that refuses it. GetCommState and SetCommState send four requests each;
 * their mode refuses all four, so the step fails at its first. */
typedef struct CountedRequest {
  ULONG code;
  ULONG kind;
  ULONG refused_in;
} CountedRequest;

static const CountedRequest kCounted[] = {
    {IOCTL_SERIAL_PURGE, RAYLET_REQ_PURGE, RAYLET_MODE_FAIL_PURGE},
    {IOCTL_SERIAL_GET_BAUD_RATE, RAYLET_REQ_GET_BAUD, RAYLET_MODE_FAIL_GET_STATE},
    {IOCTL_SERIAL_GET_LINE_CONTROL, RAYLET_REQ_GET_LINE, RAYLET_MODE_FAIL_GET_STATE},
    {IOCTL_SERIAL_GET_HANDFLOW, RAYLET_REQ_GET_HANDFLOW, RAYLET_MODE_FAIL_GET_STATE},
    {IOCTL_SERIAL_GET_CHARS, RAYLET_REQ_GET_CHARS, RAYLET_MODE_FAIL_GET_STATE},
    {IOCTL_SERIAL_SET_BAUD_RATE, RAYLET_REQ_SET_BAUD, RAYLET_MODE_FAIL_SET_STATE},
    {IOCTL_SERIAL_SET_LINE_CONTROL, RAYLET_REQ_SET_LINE, RAYLET_MODE_FAIL_SET_STATE},
    {IOCTL_SERIAL_SET_HANDFLOW, RAYLET_REQ_SET_HANDFLOW, RAYLET_MODE_FAIL_SET_STATE},
    {IOCTL_SERIAL_SET_CHARS, RAYLET_REQ_SET_CHARS, RAYLET_MODE_FAIL_SET_STATE},
    {IOCTL_SERIAL_GET_TIMEOUTS, RAYLET_REQ_GET_TIMEOUTS, RAYLET_MODE_FAIL_GET_TIMEOUTS},
    {IOCTL_SERIAL_SET_TIMEOUTS, RAYLET_REQ_SET_TIMEOUTS, RAYLET_MODE_FAIL_SET_TIMEOUTS},
    {IOCTL_SERIAL_SET_QUEUE_SIZE, RAYLET_REQ_SET_QUEUE, RAYLET_MODE_FAIL_SETUP},
};

/* Counts the request; true when the port's mode refuses it. */
static BOOLEAN CountAndRefuse(RayletPortRecord* r, ULONG code) {
  ULONG i;
  for (i = 0; i < sizeof kCounted / sizeof kCounted[0]; ++i) {
    if (kCounted[i].code != code) continue;
    ++r->requests[kCounted[i].kind];
    return r->mode == kCounted[i].refused_in;
  }
  ++r->requests[RAYLET_REQ_OTHER];
  return FALSE;
}

/* Answers a request the port does not refuse. `in` and `out` are the sizes
 * the caller gave; `*information` the bytes returned. */
static NTSTATUS Answer(RayletPortRecord* r, ULONG code, void* buffer, ULONG in, ULONG out, ULONG_PTR* information) {
#define NEED_IN(type) \
  if (in < sizeof(type)) return STATUS_BUFFER_TOO_SMALL
#define GIVE(type)                                       \
  if (out < sizeof(type)) return STATUS_BUFFER_TOO_SMALL; \
  *information = sizeof(type)
  switch (code) {
    case IOCTL_SERIAL_PURGE:
      NEED_IN(ULONG);
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_BAUD_RATE: {
      GIVE(SERIAL_BAUD_RATE);
      ((SERIAL_BAUD_RATE*)buffer)->BaudRate = r->baud;
      return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_SET_BAUD_RATE:
      NEED_IN(SERIAL_BAUD_RATE);
      r->baud = ((SERIAL_BAUD_RATE*)buffer)->BaudRate;
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_LINE_CONTROL: {
      SERIAL_LINE_CONTROL* line = (SERIAL_LINE_CONTROL*)buffer;
      GIVE(SERIAL_LINE_CONTROL);
      line->StopBits = r->stop_bits;
      line->Parity = r->parity;
      line->WordLength = r->word_length;
      return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_SET_LINE_CONTROL: {
      const SERIAL_LINE_CONTROL* line = (const SERIAL_LINE_CONTROL*)buffer;
      NEED_IN(SERIAL_LINE_CONTROL);
      r->stop_bits = line->StopBits;
      r->parity = line->Parity;
      r->word_length = line->WordLength;
      return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_GET_HANDFLOW: {
      SERIAL_HANDFLOW* flow = (SERIAL_HANDFLOW*)buffer;
      GIVE(SERIAL_HANDFLOW);
      flow->ControlHandShake = r->control_handshake;
      flow->FlowReplace = r->flow_replace;
      flow->XonLimit = r->xon_limit;
      flow->XoffLimit = r->xoff_limit;
      return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_SET_HANDFLOW: {
      const SERIAL_HANDFLOW* flow = (const SERIAL_HANDFLOW*)buffer;
      NEED_IN(SERIAL_HANDFLOW);
      r->control_handshake = flow->ControlHandShake;
      r->flow_replace = flow->FlowReplace;
      r->xon_limit = flow->XonLimit;
      r->xoff_limit = flow->XoffLimit;
      return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_GET_CHARS:
      GIVE(SERIAL_CHARS);
      RtlCopyMemory(buffer, &r->eof_char, sizeof(SERIAL_CHARS));
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_CHARS:
      NEED_IN(SERIAL_CHARS);
      RtlCopyMemory(&r->eof_char, buffer, sizeof(SERIAL_CHARS));
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_TIMEOUTS:
      GIVE(SERIAL_TIMEOUTS);
      RtlCopyMemory(buffer, &r->read_interval, sizeof(SERIAL_TIMEOUTS));
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_TIMEOUTS:
      NEED_IN(SERIAL_TIMEOUTS);
      RtlCopyMemory(&r->read_interval, buffer, sizeof(SERIAL_TIMEOUTS));
      return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_QUEUE_SIZE:
      NEED_IN(SERIAL_QUEUE_SIZE);
      r->in_queue = ((SERIAL_QUEUE_SIZE*)buffer)->InSize;
      r->out_queue = ((SERIAL_QUEUE_SIZE*)buffer)->OutSize;
      return STATUS_SUCCESS;
    default:
      /* The probe sends nothing else: whatever else comes is counted as
       * other and fails. */
      return STATUS_NOT_SUPPORTED;
  }
#undef NEED_IN
#undef GIVE
}

NTSTATUS SerialRequest(SerialPort* port, PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG in = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out = stack->Parameters.DeviceIoControl.OutputBufferLength;
  ULONG_PTR information = 0;
  NTSTATUS status;
  LockPorts();
  if (code == IOCTL_SERIAL_PURGE && in >= sizeof(ULONG)) {
    /* The mask reached the port whether its mode refuses the purge or not. */
    port->record.last_purge_mask = *(ULONG*)irp->AssociatedIrp.SystemBuffer;
  }
  if (CountAndRefuse(&port->record, code)) {
    status = STATUS_INVALID_PARAMETER;
  } else {
    status = Answer(&port->record, code, irp->AssociatedIrp.SystemBuffer, in, out, &information);
  }
  UnlockPorts();
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}
