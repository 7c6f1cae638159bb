#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
"""Writes the northbridge configuration spaces and SPD EEPROMs of the saved machine profiles.

Run from the source tree's root: tools/make-hardware-profiles.py. The files are committed; run it again only after
changing a machine below. Register layouts: AMD's BIOS and Kernel Developer's Guide for the Athlon 64 and Opteron
(26094) and, for revision F, its successor (32559); SPD layout: JEDEC JESD21-C.
"""
import pathlib
import struct

PROFILES = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "profiles"


def config_space(device_id, registers):
    """256 bytes of PCI configuration space: AMD's vendor id, the device id and 32-bit registers by offset."""
    space = bytearray(256)
    struct.pack_into("<HH", space, 0, 0x1022, device_id)
    for offset, value in registers.items():
        struct.pack_into("<I", space, offset, value)
    return bytes(space)


def link(block, connected, non_coherent, frequency_code, width_in_code, width_out_code):
    """The Link Control (+4), Link Frequency (+8) and Link Type (+0x18) registers of link block 0x80/0xA0/0xC0."""
    link_type = (1 if connected else 0) | 0b10 | (0b100 if non_coherent else 0)
    return {
        block + 0x04: (width_out_code << 28) | (width_in_code << 24) | 0x0020,
        block + 0x08: (frequency_code << 8) | 0x0002,
        block + 0x18: link_type,
    }


def function0(*links):
    registers = {}
    for block in links:
        registers.update(block)
    return config_space(0x1100, registers)


def timing_low(cl_code, trcd, trp, tras, trc):
    """DRAM Timing Low before revision F: Tcl 2:0, Trc 7:4 (7 + n), Trfc 11:8, Trcd 14:12, Trrd 18:16, Tras 23:20,
    Trp 26:24, Twr 28."""
    return cl_code | ((trc - 7) << 4) | (3 << 8) | (trcd << 12) | (2 << 16) | (tras << 20) | (trp << 24) | (1 << 28)


def function2(timing, config_low, config_high):
    return config_space(0x1102, {0x88: timing, 0x90: config_low, 0x94: config_high})


def spd(memory_type, cycle_time, cas, rows, columns, ranks_byte, banks, part, checksum_delta=0):
    """256 bytes of SPD: JESD21-C bytes 0-5, 9, 17, 18, the checksum 63 and the part number 73-90."""
    data = bytearray(256)
    data[0:6] = bytes([128, 8, memory_type, rows, columns, ranks_byte])
    data[6:9] = bytes([64, 0, 4])
    data[9] = cycle_time
    data[17] = banks
    data[18] = cas
    data[64:72] = bytes([0x7F, 0x98, 0, 0, 0, 0, 0, 0])  # a manufacturer id of the continuation-code kind
    data[73:91] = part.encode("ascii").ljust(18, b" ")
    data[63] = (sum(data[0:63]) + checksum_delta) & 0xFF
    return bytes(data)


DDR, DDR2 = 0x07, 0x08
MEMCLK_VALID = 1 << 25


def write(profile, relative, data):
    path = PROFILES / profile / relative
    path.parent.mkdir(parents=True, exist_ok=True)
    mode = "w" if isinstance(data, str) else "wb"
    with open(path, mode) as f:
        f.write(data)


def machines():
    pci = "sys/bus/pci/devices/"
    i2c = "sys/bus/i2c/devices/"
    # Socket 939 Athlon 64 X2 4400+: 1000 MHz 16/16 link on link 0, DDR400 at CL 2.5-3-3-8, tRC 11, 1T; two PC3200
    # modules of 512 MB (two ranks of 13 row and 10 column bits, 4 banks). Link 1 says non-coherent but is not
    # connected.
    yield "x2-4400", {
        pci + "0000:00:18.0/config": function0(link(0x80, True, True, 0x6, 0b001, 0b001),
                                               link(0xA0, False, True, 0x5, 0b000, 0b000)),
        pci + "0000:00:18.2/config": function2(timing_low(0b101, 3, 3, 8, 11), 0, MEMCLK_VALID | (0b111 << 20)),
        i2c + "0-0050/eeprom": spd(DDR, 0x50, 0x1C, 13, 10, 2, 4, "KVR400X64C25/512"),
        i2c + "0-0051/eeprom": spd(DDR, 0x50, 0x1C, 13, 10, 2, 4, "KVR400X64C25/512"),
    }
    # Socket 754 Athlon 64 3200+: 800 MHz link, 16 bits in and 8 out, on link 2 (link 0 says non-coherent but is
    # not connected); mixed modules, so the BIOS runs the slower PC2700's 166 MHz at CL 3-4-3-7, tRC 12, 2T. A PC3200 of 512 MB, a PC2700 of 256 MB (one rank),
    # a module whose checksum fails, and a sensor without an EEPROM.
    yield "athlon64-754", {
        "proc/cpuinfo": "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 15\nmodel\t\t: 12\n"
                        "model name\t: AMD Athlon(tm) 64 Processor 3200+\nstepping\t: 0\ncpu MHz\t\t: 2000.000\n"
                        "cache size\t: 512 KB\nflags\t\t: fpu tsc msr pae mce cx8 apic sse sse2 syscall nx lm\n"
                        "bogomips\t: 3999.80\n\n",
        "sys/class/dmi/id/bios_date": "08/12/2004\n",
        "sys/devices/system/cpu/cpu0/cpufreq/scaling_driver": "powernow-k8\n",
        "sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq": "2000000\n",
        pci + "0000:00:18.0/config": function0(link(0x80, False, True, 0x6, 0b001, 0b001),
                                               link(0xC0, True, True, 0x5, 0b001, 0b000)),
        pci + "0000:00:18.2/config": function2(timing_low(0b010, 4, 3, 7, 12), 1 << 28, MEMCLK_VALID | (0b101 << 20)),
        i2c + "0-0050/eeprom": spd(DDR, 0x50, 0x1C, 13, 10, 2, 4, "CMX512-3200C2"),
        i2c + "0-0051/eeprom": spd(DDR, 0x60, 0x0C, 13, 10, 1, 4, "HYMD232646B8J-J"),
        i2c + "0-0052/eeprom": spd(DDR, 0x50, 0x1C, 13, 10, 2, 4, "BROKEN", checksum_delta=1),
        i2c + "0-002d/name": "w83627hf\n",
    }
    # Revision F (socket AM2) Athlon 64 X2 5000+: link 0 is a connected coherent link that must be passed over;
    # the chipset's link 1 runs at 1000 MHz, 16 bits each way. DDR2-800 (MemClkFreq 400 MHz, valid): a 2 GB
    # module (two ranks of 14 row and 10 column bits, 8 banks, CL 4-6) and a 1 GB one (one rank, CL 5-6).
    yield "am2-ddr2", {
        "proc/cpuinfo": "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 15\nmodel\t\t: 67\n"
                        "model name\t: AMD Athlon(tm) 64 X2 Dual Core Processor 5000+\nstepping\t: 2\n"
                        "cpu MHz\t\t: 2600.000\ncache size\t: 512 KB\n"
                        "flags\t\t: fpu tsc msr pae mce cx8 apic sse sse2 ht syscall nx lm svm\n"
                        "bogomips\t: 5202.40\n\n",
        "sys/class/dmi/id/bios_date": "03/14/2007\n",
        "sys/devices/system/cpu/cpu0/cpufreq/scaling_driver": "powernow-k8\n",
        "sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq": "2600000\n",
        pci + "0000:00:18.0/config": function0(link(0x80, True, False, 0x6, 0b001, 0b001),
                                               link(0xA0, True, True, 0x6, 0b001, 0b001)),
        pci + "0000:00:18.2/config": function2(0x22A2_3AB5, 0, (1 << 3) | 0b011),
        i2c + "1-0050/eeprom": spd(DDR2, 0x25, 0x70, 14, 10, 0x61, 8, "OCZ2P8002GK"),
        i2c + "1-0052/eeprom": spd(DDR2, 0x25, 0x60, 14, 10, 0x60, 8, "M378T2953EZ3-CF7"),
    }


def main():
    for profile, files in machines():
        for relative, data in files.items():
            write(profile, relative, data)


if __name__ == "__main__":
    main()
