#pragma once
// Light names for the level archives, so that headers can mention them without Boost's archive headers.

namespace boost
{
namespace archive
{
class xml_oarchive;
} // namespace archive
} // namespace boost

// Every Save writes to Boost's XML output archive.
using LevelOArchive = boost::archive::xml_oarchive;
// Every Load reads from this XML input archive (LevelIArchive.h), which checks element names.
class LevelIArchive;
