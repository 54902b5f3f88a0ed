#pragma once
// The reference drawings of the map benches: matplotlib (Debian's python3-matplotlib, not a
// part of this project) drawing the same values into a figure of the picture's size with Agg,
// timed in its own python process.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// A python3 that has matplotlib, or "" when there is none.
inline std::string pythonWithMatplotlib() {
    for (const char* py : {"python3", "/usr/bin/python3"}) {
        const std::string cmd = std::string(py) + " -c 'import matplotlib' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0) return py;
    }
    return "";
}

// The best of five drawings into a width x height figure filled by one axes, in milliseconds;
// 0 when it cannot be run. The arrays are handed over as flat float32 numpy arrays a0, a1, ...;
// prepare (python, run once, untimed) shapes them, draw (python) plots on ax.
inline double matplotlibMs(const std::string& python, const std::filesystem::path& folder,
                           const std::vector<const std::vector<float>*>& arrays, int width,
                           int height, const std::string& prepare, const std::string& draw) {
    namespace fs = std::filesystem;
    const fs::path script = folder / "bench_matplotlib.py";
    const fs::path result = folder / "bench_matplotlib.txt";
    std::vector<fs::path> raws;
    for (std::size_t k = 0; k < arrays.size(); ++k) {
        raws.push_back(folder / ("bench_matplotlib_" + std::to_string(k) + ".f32"));
        std::ofstream out(raws.back(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(arrays[k]->data()),
                  static_cast<std::streamsize>(arrays[k]->size() * sizeof(float)));
    }
    {
        std::ofstream py(script);
        py << "import sys, time\n"
              "import numpy as np\n"
              "import matplotlib\n"
              "matplotlib.use('Agg')\n"
              "import matplotlib.pyplot as plt\n";
        for (std::size_t k = 0; k < raws.size(); ++k)
            py << "a" << k << " = np.fromfile(sys.argv[" << k + 2 << "], dtype=np.float32)\n";
        py << prepare
           << "best = 1e30\n"
              "for r in range(5):\n"
              "    t0 = time.perf_counter()\n"
              "    fig = plt.figure(figsize=("
           << width / 100.0 << ", " << height / 100.0
           << "), dpi=100)\n"
              "    ax = fig.add_axes([0, 0, 1, 1])\n"
              "    "
           << draw
           << "\n"
              "    fig.canvas.draw()\n"
              "    best = min(best, time.perf_counter() - t0)\n"
              "    plt.close(fig)\n"
              "open(sys.argv[1], 'w').write('%f' % (best * 1000))\n";
    }
    std::string cmd = python + " '" + script.string() + "' '" + result.string() + "'";
    for (const fs::path& raw : raws)
        cmd += " '" + raw.string() + "'";
    double ms = 0;
    if (std::system(cmd.c_str()) == 0) std::ifstream(result) >> ms;
    for (const fs::path& raw : raws)
        fs::remove(raw);
    fs::remove(script);
    fs::remove(result);
    return ms;
}

} // namespace bench
