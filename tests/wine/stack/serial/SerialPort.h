/* The stand-in serial driver's ports, shared by its three files: the entry and
 * the opening of ports (StandInSerial.c), the serial requests of an open
 * port (SerialRequests.c) and the control device (ControlRequests.c). */
#ifndef RAYLET_SERIAL_PORT_H
#define RAYLET_SERIAL_PORT_H

#include <ntddk.h>
#include <ntddser.h>

#include "SerialControl.h"

typedef struct SerialPort {
  PDEVICE_OBJECT device;
  UNICODE_STRING link; /* \DosDevices\NAME */
  WCHAR link_buffer[32];
  UNICODE_STRING target; /* \Device\RayletSerialN */
  WCHAR target_buffer[32];
  BOOLEAN linked;
  RayletPortRecord record;
} SerialPort;

extern SerialPort g_ports[RAYLET_PORT_COUNT];

/* One lock for every port: creates, closes and requests may arrive on more
 * than one of the device manager's threads. */
void LockPorts(void);
void UnlockPorts(void);

/* The port a device object belongs to, or NULL (the control device). */
SerialPort* PortOfDevice(PDEVICE_OBJECT device);
/* The port named `name` (case does not matter), or NULL. */
SerialPort* PortNamed(const char* name, ULONG size);

/* Puts the port's name in or out of the namespace as its mode and its open
 * handles say: linked while it is FREE or FAIL_* and nobody has it open. */
void UpdateLink(SerialPort* port);
/* Back to ABSENT with the initial settings and an empty record. */
void ResetPort(SerialPort* port);
void SetPortMode(SerialPort* port, ULONG mode);

NTSTATUS SerialRequest(SerialPort* port, PIRP irp, PIO_STACK_LOCATION stack);
NTSTATUS ControlRequest(PIRP irp, PIO_STACK_LOCATION stack);

#endif /* RAYLET_SERIAL_PORT_H */
