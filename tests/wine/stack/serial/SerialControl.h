/* What the stand-in serial driver (standin-serial.sys) and its clients
 * exchange through the control device. Shared by the driver (C) and the
 * stand-in stack's library (C++); every field has a fixed width, so that a
 * 32-bit caller and a 64-bit driver read the same bytes. */
#ifndef RAYLET_SERIAL_CONTROL_H
#define RAYLET_SERIAL_CONTROL_H

#include <stdint.h>

/* The ports the registry seeds name, in this order: the stack's virtual
 * COM and printer ports, then the adapter's physical port. */
#define RAYLET_PORT_COUNT 3
#define RAYLET_PORT_NAME_SIZE 8
#define RAYLET_VIRTUAL_COM "COM4"
#define RAYLET_VIRTUAL_LPT "LPT3"
#define RAYLET_PHYSICAL_PORT "COM2"
#define RAYLET_PHYSICAL_INDEX 2

/* The control device as a program opens it. */
#define RAYLET_CONTROL_PATH "\\\\.\\RayletSerialControl"

/* A port's mode. Every mode but ABSENT and HELD_BY_STACK opens; a FAIL mode
 * refuses exactly one step of the port probe. */
#define RAYLET_MODE_ABSENT 0
#define RAYLET_MODE_FREE 1
#define RAYLET_MODE_HELD_BY_STACK 2
#define RAYLET_MODE_FAIL_PURGE 3
#define RAYLET_MODE_FAIL_GET_STATE 4
#define RAYLET_MODE_FAIL_SET_STATE 5
#define RAYLET_MODE_FAIL_GET_TIMEOUTS 6
#define RAYLET_MODE_FAIL_SET_TIMEOUTS 7
#define RAYLET_MODE_FAIL_SETUP 8
#define RAYLET_MODE_COUNT 9

/* Which serial requests a port counts, one counter each. */
#define RAYLET_REQ_PURGE 0
#define RAYLET_REQ_GET_BAUD 1
#define RAYLET_REQ_GET_LINE 2
#define RAYLET_REQ_GET_HANDFLOW 3
#define RAYLET_REQ_GET_CHARS 4
#define RAYLET_REQ_SET_BAUD 5
#define RAYLET_REQ_SET_LINE 6
#define RAYLET_REQ_SET_HANDFLOW 7
#define RAYLET_REQ_SET_CHARS 8
#define RAYLET_REQ_GET_TIMEOUTS 9
#define RAYLET_REQ_SET_TIMEOUTS 10
#define RAYLET_REQ_SET_QUEUE 11
#define RAYLET_REQ_OTHER 12 /* any other request (the probe sends none) */
#define RAYLET_REQ_COUNT 13

/* Control requests: CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900 + n,
 * METHOD_BUFFERED, FILE_ANY_ACCESS), spelled out for hosts without
 * winioctl.h. */
#define RAYLET_CONTROL_CODE(n) ((0x22u << 16) | ((0x900u + (n)) << 2))
#define RAYLET_IOCTL_SET_MODE RAYLET_CONTROL_CODE(0)    /* in: RayletModeRequest */
#define RAYLET_IOCTL_READ_RECORD RAYLET_CONTROL_CODE(1) /* in: RayletPortName, out: RayletPortRecord */
#define RAYLET_IOCTL_RESET RAYLET_CONTROL_CODE(2)       /* no data */
#define RAYLET_IOCTL_DRIVER RAYLET_CONTROL_CODE(3)      /* in: uint32_t, non-zero: on */

typedef struct RayletPortName {
  char name[RAYLET_PORT_NAME_SIZE]; /* "COM4": no prefix, zero-padded */
} RayletPortName;

typedef struct RayletModeRequest {
  char name[RAYLET_PORT_NAME_SIZE];
  uint32_t mode;
} RayletModeRequest;

/* What reached one port since the last reset, and its settings now. */
typedef struct RayletPortRecord {
  char name[RAYLET_PORT_NAME_SIZE];
  uint32_t mode;
  uint32_t opens;  /* IRP_MJ_CREATE */
  uint32_t closes; /* IRP_MJ_CLOSE */
  uint32_t open_now;
  uint32_t last_purge_mask;
  uint32_t baud;
  uint8_t stop_bits; /* SERIAL_LINE_CONTROL */
  uint8_t parity;
  uint8_t word_length;
  uint8_t reserved1;
  uint32_t control_handshake; /* SERIAL_HANDFLOW */
  uint32_t flow_replace;
  int32_t xon_limit;
  int32_t xoff_limit;
  uint8_t eof_char; /* SERIAL_CHARS */
  uint8_t error_char;
  uint8_t break_char;
  uint8_t event_char;
  uint8_t xon_char;
  uint8_t xoff_char;
  uint8_t reserved2[2];
  uint32_t read_interval; /* SERIAL_TIMEOUTS */
  uint32_t read_multiplier;
  uint32_t read_constant;
  uint32_t write_multiplier;
  uint32_t write_constant;
  uint32_t in_queue; /* SERIAL_QUEUE_SIZE */
  uint32_t out_queue;
  uint32_t requests[RAYLET_REQ_COUNT];
} RayletPortRecord;

#endif /* RAYLET_SERIAL_CONTROL_H */
