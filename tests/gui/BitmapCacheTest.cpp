#include "ltf/gui/BitmapCache.h"

#include "GuiTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

using LTF::GUI::BitmapCache;

namespace {

class BitmapCacheTest : public ::testing::Test {
protected:
    std::string Save(const QString& name, const QImage& image, const char* format) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, format)) << name.toStdString();
        return path.toStdString();
    }
    std::string Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName().toStdString();
    }

    QTemporaryDir dir;
    BitmapCache cache;
};

QImage WithAlpha() {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(0, 0, 255, 128));
    return image;
}

} // namespace

// Configurations written elsewhere name files by habit, not by their content.
TEST_F(BitmapCacheTest, FormatComesFromTheContent) {
    struct Case {
        const char* name;
        const char* format;
        QImage image;
        QImage::Format loadedAs;
    };
    const Case cases[] = {
        {"PNG inside.bmp", "PNG", GuiTest::Filled(5, 3, Qt::green), QImage::Format_RGB32},
        {"bitmap inside.png", "BMP", GuiTest::Filled(5, 3, Qt::blue), QImage::Format_RGB32},
        {"photo.jpg", "JPG", GuiTest::Filled(8, 8, Qt::white), QImage::Format_RGB32},
        {"translucent.png", "PNG", WithAlpha(), QImage::Format_ARGB32_Premultiplied},
    };
    for (const Case& c : cases) {
        const BitmapCache::Image loaded = cache.Load(Save(c.name, c.image, c.format));
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_EQ(loaded->size(), c.image.size()) << c.name;
        EXPECT_EQ(loaded->format(), c.loadedAs) << c.name;
        EXPECT_TRUE(GuiTest::ColourNear(loaded->pixelColor(1, 1), c.image.pixelColor(1, 1), 4))
            << c.name;
    }
}

TEST_F(BitmapCacheTest, NothingForWhatCannotBeRead) {
    const std::string cases[] = {
        Write("truncated.bmp", QByteArray("BM\x10\x00", 4)),
        Write("text.bmp", "not a picture at all"),
        dir.filePath("missing.bmp").toStdString(),
        dir.path().toStdString(),
    };
    for (const std::string& path : cases)
        EXPECT_FALSE(cache.Load(path)) << path;
}

TEST_F(BitmapCacheTest, SharedWhileHeldAndReadAgainOnceChanged) {
    const std::string path = Save("art.bmp", GuiTest::Filled(4, 4, Qt::red), "BMP");
    const BitmapCache::Image first = cache.Load(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(cache.Load(path), first);

    // A swapped-in folder brings new files under the old names.
    const std::string replacement = Save("new.bmp", GuiTest::Filled(4, 4, Qt::blue), "BMP");
    ASSERT_EQ(std::rename(replacement.c_str(), path.c_str()), 0);
    const BitmapCache::Image second = cache.Load(path);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(first->pixelColor(0, 0), QColor(Qt::red)) << "a holder keeps what it had";

    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    EXPECT_FALSE(cache.Load(path)) << "a deleted file is not served from memory";
}

// Pages are built on the UI thread while their backgrounds are decoded ahead on another.
TEST_F(BitmapCacheTest, ThreadsAskingForTheSameFilesShareOneImageEach) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i)
        paths.push_back(Save(QString("art%1.bmp").arg(i), GuiTest::Filled(64, 64, Qt::red), "BMP"));
    paths.push_back(dir.filePath("missing.bmp").toStdString());
    constexpr int kThreads = 4;
    std::vector<std::vector<BitmapCache::Image>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < paths.size(); ++i) // each thread in its own order
                seen[t].push_back(
                    cache.Load(paths[(i + static_cast<std::size_t>(t)) % paths.size()]));
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const BitmapCache::Image first = seen[0][i];
        EXPECT_EQ(static_cast<bool>(first), i + 1 < paths.size()) << paths[i];
        for (int t = 1; t < kThreads; ++t)
            EXPECT_EQ(seen[t][(i + paths.size() - static_cast<std::size_t>(t)) % paths.size()],
                      first)
                << paths[i];
    }
}
