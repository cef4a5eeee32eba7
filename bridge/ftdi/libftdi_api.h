// The few libftdi1 functions the real-bridge backend calls, gathered in one
// table so that tests can hand the backend a fake in place of the library.
// Each entry has the shape of the libftdi1 1.5 function it stands for; the
// last two reach into the context, where libftdi has no function of its own.
#pragma once

#include <ftdi.h>

namespace ftdi_backend {

struct LibftdiApi {
  // ftdi_new: a context with its own libusb session; nullptr when libusb
  // cannot start (for example in a container without USB).
  ftdi_context* (*new_context)();
  // ftdi_free: closes what is still open and ends the libusb session.
  void (*free_context)(ftdi_context* ftdi);
  int (*usb_find_all)(ftdi_context* ftdi, ftdi_device_list** devlist, int vendor, int product);
  void (*list_free)(ftdi_device_list** devlist);
  int (*set_interface)(ftdi_context* ftdi, ftdi_interface interface);
  int (*usb_open_dev)(ftdi_context* ftdi, libusb_device* dev);
  int (*usb_close)(ftdi_context* ftdi);
  // Returns at once with what the bridge has sent (at most size bytes).
  int (*read_data)(ftdi_context* ftdi, unsigned char* buf, int size);
  int (*write_data)(ftdi_context* ftdi, const unsigned char* buf, int size);
  int (*tciflush)(ftdi_context* ftdi);
  int (*tcoflush)(ftdi_context* ftdi);
  int (*tcioflush)(ftdi_context* ftdi);
  int (*set_bitmode)(ftdi_context* ftdi, unsigned char bitmask, unsigned char mode);
  int (*set_latency_timer)(ftdi_context* ftdi, unsigned char latency);
  int (*get_latency_timer)(ftdi_context* ftdi, unsigned char* latency);
  int (*read_data_set_chunksize)(ftdi_context* ftdi, unsigned int chunksize);
  int (*write_data_set_chunksize)(ftdi_context* ftdi, unsigned int chunksize);
  ftdi_version_info (*get_library_version)();
  const char* (*get_error_string)(ftdi_context* ftdi);
  // The bulk endpoint's packet size of the open device (512 for a high-speed
  // H-series bridge, 64 at full speed).
  unsigned (*max_packet_size)(ftdi_context* ftdi);
  // libusb's time-out for one bulk transfer in each direction, in ms.
  void (*set_usb_timeouts)(ftdi_context* ftdi, int read_ms, int write_ms);
};

// The table of the installed libftdi1.
const LibftdiApi& RealLibftdi();

}  // namespace ftdi_backend
