#include "platform/WarmUp.h"

#include <QByteArrayList>
#include <QFontDatabase>
#include <QImageReader>
#include <QStringList>

WarmUp::WarmUp()
    : m_thread([] {
          // The picture formats first: the splash reads its picture before it
          // lays out its first text.
          QImageReader::supportedImageFormats();
          QFontDatabase::families();
      })
{
}

WarmUp::~WarmUp()
{
    m_thread.join();
}
