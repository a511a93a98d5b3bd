#include "core/trajectory_format.h"

#include "core/extxyz_writer.h"
#include "core/text_lines.h"
#include "core/xsf_writer.h"

namespace {

// The first row is the format a run writes unless told otherwise.
const TrajectoryFormat kFormats[] = {
    {"xsf", "XSF file    : ", WriteXSFHeader, WriteXSFTrajectoryFrame},
    {"extxyz", "EXTXYZ file : ", WriteExtXYZHeader, WriteExtXYZFrame},
};

}  // namespace

const TrajectoryFormat* FindTrajectoryFormat(const std::string& name) {
    for (const TrajectoryFormat& format : kFormats)
        if (EqualsNoCase(format.name, name)) return &format;
    return nullptr;
}

const TrajectoryFormat& TrajectoryFormatOf(const std::string& name) {
    const TrajectoryFormat* format = FindTrajectoryFormat(name);
    return format ? *format : kFormats[0];
}

std::string TrajectoryFormatNames(const char* separator) { return JoinNames(kFormats, separator); }
