// What a drive letter is used for, as the status list shows it: a pure function of the drive
// type GetDriveTypeA reports and the letters reserved for remembered network connections.
#pragma once

// Image indexes of the status list, in the order the bitmaps are added.
inline constexpr int kImageRemovable = 0;
inline constexpr int kImageFixed = 1;
inline constexpr int kImageCdrom = 2;
inline constexpr int kImageNetwork = 3;
inline constexpr int kImageUnused = 4;
inline constexpr int kImageRamdisk = 5;
inline constexpr int kImageUnknown = 6;
inline constexpr int kImageReserved = 7;
inline constexpr int kStatusImageCount = 8;

// Bitmap resources of the images, by index.
extern const int kStatusImageBitmaps[kStatusImageCount];

struct DriveStatus {
  bool hasRow = false;            // drive types Windows does not define get no row
  int image = -1;
  const char* kind = "";          // the "function" column text
  bool removeFromChoices = false; // taken by something a slot cannot move onto
};

// reserved holds count letters (count clamped to 0..36); the letter is reserved when one of
// them equals it exactly.
DriveStatus ClassifyDrive(unsigned driveType, char letter, const char* reserved, int count);
