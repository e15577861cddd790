#include "common/SessionNames.h"

std::string SessionFolderName(int session)
{
    return kSessionWord + std::to_string(session);
}

std::string PictureFileName(int picture)
{
    return kPictureStem + std::to_string(picture) + kPictureExtension;
}

std::string DestinationFileName(int session)
{
    return kDestinationStem + std::to_string(session) + kDestinationExtension;
}

std::string ProjectFileName(int session)
{
    return SessionFolderName(session) + ".flickmere.json";
}

std::string AnimationFileName(int session)
{
    return SessionFolderName(session) + ".png";
}

std::string StepsFileName(int session)
{
    return SessionFolderName(session) + ".steps.json";
}

std::string GifFileName(int session)
{
    return SessionFolderName(session) + ".gif";
}
