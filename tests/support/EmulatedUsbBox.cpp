#include "EmulatedUsbBox.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <stdexcept>

namespace {

// Where the box sits: bus 1, port 1, device address 2.
constexpr int busNumber = 1;
constexpr int deviceAddress = 2;
constexpr const char* sysfsPath = "/devices/pci0000:00/0000:00:14.0/usb1/1-1";
// The same as the testbed names it, under its /sys.
const std::string testbedPath = std::string("/sys") + sysfsPath;
constexpr const char* deviceNode = "/dev/bus/usb/001/002";
constexpr std::uint8_t commandInAddress = 0x81;
constexpr std::uint8_t dataInAddress = 0x82;

// What the emulated usbdevfs can do: bulk URBs of any size go in one piece (libusb would
// otherwise split the 512 KiB stream transfers into 16 KiB URBs).
constexpr std::uint32_t capabilities =
    USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_BULK_SCATTER_GATHER;

std::string hex(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

std::string descriptorOf(const boxsim::BoxModel& model, std::uint8_t type) {
    // GET_DESCRIPTOR of `type`, index 0, up to 0xFFFF bytes.
    return model.controlRequest({0x80, 6, 0, type, 0, 0, 0xFF, 0xFF});
}

// An URB submitted by the host, remembered by its address in the host's memory until reaped.
// What the box answers is written into the host's URB when it is reaped.
struct Urb {
    unsigned long address = 0;
    std::uint8_t endpoint = 0;
    int bufferLength = 0;
    int actualLength = 0;
    int status = 0; // 0 or a negative errno, as usbdevfs reports it
    // The bytes for the host and where they go in the buffer: a control URB's answer follows
    // its 8-byte setup packet.
    std::string answer;
    std::size_t at = 0;
};

struct ClientState {
    std::deque<Urb> completed;
    std::deque<Urb> pendingIn; // bulk IN URBs waiting for bytes from the box
};

} // namespace

struct EmulatedUsbBox::Node {
    std::mutex lock;
    std::unique_ptr<boxsim::BoxModel> model;
    std::chrono::steady_clock::time_point poweredOn = std::chrono::steady_clock::now();
    std::string commandReply; // bytes of the command reply endpoint not yet taken by the host
    // Stream bytes taken from the sample memory and not yet sent: the part of a frame that did
    // not fit into the last URB. The stream is one run of bytes, as on the bus, so a full URB
    // usually ends inside a frame.
    std::string streamBytes;
    int streamFault = 0;    // the status of every data URB from now on; 0: none
    bool unplugged = false; // off the bus: requests on the node end with ENODEV
    std::map<UMockdevIoctlClient*, ClientState> clients;
    UMockdevIoctlClient* claimedBy = nullptr;
    std::vector<unsigned long> unknown;
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;

    // Seconds since the box was switched on.
    double now() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - poweredOn).count();
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        std::lock_guard<std::mutex> guard(node->lock);
        node->handle(client);
        return TRUE;
    }

    static void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* node = static_cast<Node*>(self);
        std::lock_guard<std::mutex> guard(node->lock);
        node->forget(client);
    }

    // A closed device node takes its URBs and its claim with it.
    void forget(UMockdevIoctlClient* client) {
        clients.erase(client);
        release(client);
    }

    // The host that held the interface let it go: the box forgets a half-sent command and the
    // reply nobody fetched, and stops streaming.
    void release(UMockdevIoctlClient* client) {
        if (claimedBy != client)
            return;
        claimedBy = nullptr;
        commandReply.clear();
        streamBytes.clear();
        model->hostDisconnected(now());
    }

    // The memory the ioctl argument points to, `length` bytes; owned reference or null.
    static UMockdevIoctlData* pointee(UMockdevIoctlClient* client, std::size_t length) {
        return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, length,
                                           nullptr);
    }

    void handle(UMockdevIoctlClient* client) {
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        // Of a disconnected device the kernel still hands back the URBs that ended; everything
        // else is refused.
        if (unplugged && request != USBDEVFS_REAPURBNDELAY)
            return umockdev_ioctl_client_complete(client, -1, ENODEV);
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* data = pointee(client, sizeof(std::uint32_t));
            if (!data)
                return umockdev_ioctl_client_complete(client, -1, EFAULT);
            std::memcpy(data->data, &capabilities, sizeof capabilities);
            umockdev_ioctl_client_complete(client, 0, 0);
            g_object_unref(data);
            return;
        }
        case USBDEVFS_DISCONNECT_CLAIM:
            return claim(client, sizeof(usbdevfs_disconnect_claim));
        case USBDEVFS_CLAIMINTERFACE:
            return claim(client, sizeof(unsigned int));
        case USBDEVFS_RELEASEINTERFACE:
            release(client);
            return umockdev_ioctl_client_complete(client, 0, 0);
        case USBDEVFS_IOCTL:
            // No kernel driver binds to the box, so there is none to detach or attach again.
            return umockdev_ioctl_client_complete(client, -1, ENODATA);
        case USBDEVFS_CLEAR_HALT:
            return umockdev_ioctl_client_complete(client, 0, 0);
        case USBDEVFS_SUBMITURB:
            return submit(client);
        case USBDEVFS_REAPURBNDELAY:
            return reap(client);
        case USBDEVFS_DISCARDURB:
            return discard(client);
        default:
            unknown.push_back(request);
            return umockdev_ioctl_client_complete(client, -1, ENOTTY);
        }
    }

    // The box has one interface, number 0, and one host may hold it.
    void claim(UMockdevIoctlClient* client, std::size_t argumentBytes) {
        UMockdevIoctlData* data = pointee(client, argumentBytes);
        if (!data)
            return umockdev_ioctl_client_complete(client, -1, EFAULT);
        unsigned int interfaceNumber = 0;
        std::memcpy(&interfaceNumber, data->data, sizeof interfaceNumber);
        g_object_unref(data);
        if (interfaceNumber != 0)
            return umockdev_ioctl_client_complete(client, -1, ENOENT);
        if (claimedBy && claimedBy != client)
            return umockdev_ioctl_client_complete(client, -1, EBUSY);
        claimedBy = client;
        umockdev_ioctl_client_complete(client, 0, 0);
    }

    // The first `length` bytes of the buffer of the URB whose header is given.
    static std::string bufferOf(UMockdevIoctlData* header, std::size_t length) {
        if (length == 0)
            return std::string();
        UMockdevIoctlData* bytes =
            umockdev_ioctl_data_resolve(header, offsetof(usbdevfs_urb, buffer), length, nullptr);
        if (!bytes)
            return std::string();
        std::string copy(reinterpret_cast<const char*>(bytes->data), length);
        g_object_unref(bytes);
        return copy;
    }

    void submit(UMockdevIoctlClient* client) {
        UMockdevIoctlData* header = pointee(client, sizeof(usbdevfs_urb));
        if (!header)
            return umockdev_ioctl_client_complete(client, -1, EFAULT);
        const usbdevfs_urb h = *reinterpret_cast<const usbdevfs_urb*>(header->data);
        Urb urb;
        urb.address = header->client_addr;
        urb.endpoint = h.endpoint;
        urb.bufferLength = std::max(h.buffer_length, 0);
        const auto length = static_cast<std::size_t>(urb.bufferLength);
        ClientState& state = clients[client];
        bool accepted = true;
        const std::string packet =
            h.type == USBDEVFS_URB_TYPE_CONTROL ? bufferOf(header, 8) : std::string();
        if (packet.size() == 8) {
            std::array<std::uint8_t, 8> setup;
            std::memcpy(setup.data(), packet.data(), 8);
            urb.answer = model->controlRequest(setup);
            urb.answer.resize(std::min(urb.answer.size(), length - 8));
            urb.at = 8;
            urb.actualLength = static_cast<int>(urb.answer.size());
            state.completed.push_back(urb);
        } else if (h.type == USBDEVFS_URB_TYPE_BULK && !(h.endpoint & 0x80)) {
            // Only the command endpoint takes commands; what the data endpoint's OUT side is
            // sent goes nowhere.
            if (h.endpoint == (commandInAddress & 0x7F))
                commandReply += model->receiveCommandBytes(bufferOf(header, length), now());
            urb.actualLength = urb.bufferLength;
            state.completed.push_back(urb);
        } else if (h.type == USBDEVFS_URB_TYPE_BULK &&
                   (h.endpoint == commandInAddress || h.endpoint == dataInAddress)) {
            state.pendingIn.push_back(urb);
        } else {
            accepted = false;
        }
        g_object_unref(header);
        if (accepted)
            umockdev_ioctl_client_complete(client, 0, 0);
        else
            umockdev_ioctl_client_complete(client, -1, EINVAL);
    }

    // Fills the oldest waiting IN URB that the box has bytes for; false when there is none.
    bool deliver(ClientState& state) {
        for (auto it = state.pendingIn.begin(); it != state.pendingIn.end(); ++it) {
            const auto room = static_cast<std::size_t>(it->bufferLength);
            std::string bytes;
            if (it->endpoint == commandInAddress) {
                bytes = commandReply.substr(0, room);
                commandReply.erase(0, bytes.size());
            } else if (streamFault != 0) {
                it->status = streamFault;
                it->actualLength = 0;
                state.completed.push_back(std::move(*it));
                state.pendingIn.erase(it);
                return true;
            } else {
                bytes = streamFor(room);
            }
            if (bytes.empty())
                continue;
            it->answer = std::move(bytes);
            it->actualLength = static_cast<int>(it->answer.size());
            state.completed.push_back(std::move(*it));
            state.pendingIn.erase(it);
            return true;
        }
        return false;
    }

    // Up to `room` bytes of the stream, whatever frames they cut.
    std::string streamFor(std::size_t room) {
        model->advance(now());
        const auto frameSize = static_cast<std::size_t>(model->layout().frameSize);
        if (streamBytes.size() < room)
            streamBytes += model->takeFrames(room - streamBytes.size() + frameSize - 1);
        std::string bytes = streamBytes.substr(0, room);
        streamBytes.erase(0, bytes.size());
        return bytes;
    }

    void reap(UMockdevIoctlClient* client) {
        ClientState& state = clients[client];
        if (state.completed.empty() && (unplugged || !deliver(state)))
            return umockdev_ioctl_client_complete(client, -1, unplugged ? ENODEV : EAGAIN);
        const Urb urb = std::move(state.completed.front());
        state.completed.pop_front();
        // The argument points to where the host wants the address of the reaped URB. The URB's
        // status, length and received bytes are written through that address, resolved anew in
        // this call: memory resolved while the URB was submitted belongs to that earlier call
        // and does not reach the host from here.
        UMockdevIoctlData* slot = pointee(client, sizeof(void*));
        if (!slot)
            return umockdev_ioctl_client_complete(client, -1, EFAULT);
        std::memcpy(slot->data, &urb.address, sizeof urb.address);
        UMockdevIoctlData* header =
            umockdev_ioctl_data_resolve(slot, 0, sizeof(usbdevfs_urb), nullptr);
        if (!header) {
            g_object_unref(slot);
            return umockdev_ioctl_client_complete(client, -1, EFAULT);
        }
        auto* h = reinterpret_cast<usbdevfs_urb*>(header->data);
        h->actual_length = urb.actualLength;
        h->status = urb.status;
        UMockdevIoctlData* bytes = nullptr;
        if (!urb.answer.empty()) {
            bytes = umockdev_ioctl_data_resolve(header, offsetof(usbdevfs_urb, buffer),
                                                urb.at + urb.answer.size(), nullptr);
            if (bytes)
                std::memcpy(bytes->data + urb.at, urb.answer.data(), urb.answer.size());
        }
        umockdev_ioctl_client_complete(client, 0, 0);
        if (bytes)
            g_object_unref(bytes);
        g_object_unref(header);
        g_object_unref(slot);
    }

    // The box left the bus: every URB waiting for it ends with -ENODEV, and nobody holds it.
    void disconnect() {
        unplugged = true;
        for (auto& [client, state] : clients) {
            for (Urb& urb : state.pendingIn) {
                urb.status = -ENODEV;
                state.completed.push_back(std::move(urb));
            }
            state.pendingIn.clear();
        }
        claimedBy = nullptr;
        commandReply.clear();
        streamBytes.clear();
    }

    void discard(UMockdevIoctlClient* client) {
        // The argument is the address of the URB itself.
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        unsigned long address = 0;
        std::memcpy(&address, arg->data, sizeof address);
        ClientState& state = clients[client];
        for (auto it = state.pendingIn.begin(); it != state.pendingIn.end(); ++it) {
            if (it->address != address)
                continue;
            it->status = -ENOENT;
            state.completed.push_back(std::move(*it));
            state.pendingIn.erase(it);
            return umockdev_ioctl_client_complete(client, 0, 0);
        }
        umockdev_ioctl_client_complete(client, -1, EINVAL);
    }
};

bool EmulatedUsbBox::preloadActive() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

EmulatedUsbBox& EmulatedUsbBox::instance() {
    static EmulatedUsbBox box{boxsim::BoxConfig()};
    return box;
}

EmulatedUsbBox::EmulatedUsbBox(const boxsim::BoxConfig& config) : node_(std::make_unique<Node>()) {
    node_->model = std::make_unique<boxsim::BoxModel>(config);
    node_->testbed = umockdev_testbed_new();
    addToTestbed(config);

    GError* error = nullptr;
    node_->handler = umockdev_ioctl_base_new();
    g_signal_connect(node_->handler, "handle-ioctl", G_CALLBACK(&Node::onIoctl), node_.get());
    g_signal_connect(node_->handler, "client-vanished", G_CALLBACK(&Node::onVanished), node_.get());
    if (!umockdev_testbed_attach_ioctl(node_->testbed, deviceNode, node_->handler, &error))
        throw std::runtime_error(std::string("emulated USB box: ") + error->message);
}

void EmulatedUsbBox::addToTestbed(const boxsim::BoxConfig& config) {
    const boxsim::UsbIdentity identity;
    char ids[5];
    const auto id = [&](unsigned value) {
        std::snprintf(ids, sizeof ids, "%04x", value);
        return std::string(ids);
    };
    // What libusb reads: the udev properties that make the entry a USB device with a node, and
    // the sysfs attributes with the bus position, speed (Mbit/s), active configuration and the
    // descriptors, which it parses instead of asking the device. A sysfs attribute ends in a
    // line feed (written "\\n" in the description) or libusb warns about it.
    std::string description = std::string("P: ") + sysfsPath + "\n";
    description += std::string("N: ") + (deviceNode + 5) + "\n";
    description += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n";
    description += std::string("E: DEVNAME=") + deviceNode + "\n";
    description += "E: BUSNUM=001\nE: DEVNUM=002\n";
    const auto attribute = [&](const std::string& name, const std::string& value) {
        description += "A: " + name + "=" + value + "\\n\n";
    };
    attribute("busnum", std::to_string(busNumber));
    attribute("devnum", std::to_string(deviceAddress));
    attribute("dev", "189:1"); // usb_device major, minor of bus 1 address 2
    attribute("idVendor", id(boxsim::UsbIdentity::kVendorId));
    attribute("idProduct", id(boxsim::UsbIdentity::kProductId));
    attribute("manufacturer", identity.manufacturer);
    attribute("product", identity.product);
    attribute("serial", config.serialNumber());
    attribute("speed", "480");
    attribute("bConfigurationValue", "1");
    attribute("bNumConfigurations", "1");
    description +=
        "H: descriptors=" + hex(descriptorOf(*node_->model, 1) + descriptorOf(*node_->model, 2)) +
        "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(node_->testbed, description.c_str(), &error))
        throw std::runtime_error(std::string("emulated USB box: ") + error->message);
}

EmulatedUsbBox::~EmulatedUsbBox() {
    umockdev_testbed_detach_ioctl(node_->testbed, deviceNode, nullptr);
    g_object_unref(node_->handler);
    g_object_unref(node_->testbed);
}

void EmulatedUsbBox::reset(const boxsim::BoxConfig& config) {
    std::lock_guard<std::mutex> guard(node_->lock);
    node_->model = std::make_unique<boxsim::BoxModel>(config);
    node_->commandReply.clear();
    node_->streamBytes.clear();
    node_->streamFault = 0;
}

void EmulatedUsbBox::failStream(int status) {
    std::lock_guard<std::mutex> guard(node_->lock);
    node_->streamFault = status;
}

void EmulatedUsbBox::command(const std::string& line) {
    std::lock_guard<std::mutex> guard(node_->lock);
    node_->model->receiveCommandBytes(line + "\n", node_->now());
}

void EmulatedUsbBox::unplug() {
    {
        std::lock_guard<std::mutex> guard(node_->lock);
        node_->disconnect();
    }
    // The uevent carries the properties of the sysfs entry, so it goes before the entry.
    umockdev_testbed_uevent(node_->testbed, testbedPath.c_str(), "remove");
    umockdev_testbed_remove_device(node_->testbed, testbedPath.c_str());
}

void EmulatedUsbBox::plugIn(const boxsim::BoxConfig& config) {
    {
        std::lock_guard<std::mutex> guard(node_->lock);
        node_->model = std::make_unique<boxsim::BoxModel>(config);
        node_->poweredOn = std::chrono::steady_clock::now();
        node_->streamBytes.clear();
        node_->streamFault = 0;
        node_->unplugged = false;
    }
    addToTestbed(config);
    umockdev_testbed_uevent(node_->testbed, testbedPath.c_str(), "add");
}

void EmulatedUsbBox::inspect(const std::function<void(const boxsim::BoxModel&)>& look) {
    std::lock_guard<std::mutex> guard(node_->lock);
    node_->model->advance(node_->now());
    look(*node_->model);
}

int EmulatedUsbBox::waitingStreamUrbs() {
    std::lock_guard<std::mutex> guard(node_->lock);
    const auto holder = node_->clients.find(node_->claimedBy);
    if (holder == node_->clients.end())
        return 0;
    const std::deque<Urb>& waiting = holder->second.pendingIn;
    return static_cast<int>(std::count_if(waiting.begin(), waiting.end(), [](const Urb& urb) {
        return urb.endpoint == dataInAddress;
    }));
}

std::vector<unsigned long> EmulatedUsbBox::unknownRequests() {
    std::lock_guard<std::mutex> guard(node_->lock);
    return node_->unknown;
}
