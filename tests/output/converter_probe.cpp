// Loads the converter library as the window's JPEG save does (from the folders
// around the program), converts a BMP file and prints the path of the library
// it loaded.   converter_probe SOURCE.bmp DESTINATION.jpg
#include "output/JpegConverter.h"

#include <QCoreApplication>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return std::fprintf(stderr, "usage: converter_probe SOURCE.bmp DESTINATION.jpg\n"), 2;
    const auto result = zebrix::ConvertToJpeg(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), 80);
    const bool done = result.outcome == zebrix::ConverterOutcome::Done;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find(zebrix::ConverterFileName().toStdString()) != std::string::npos)
            return std::printf("%s\n", line.substr(line.find('/')).c_str()), !done;
    return done ? 0 : 1;
}
