#include "support/result_file.h"

#include <stdio.h>
#include <string.h>

#include <stdexcept>
#include <vector>

ResultHeader result_file_header(const ResultFileRecipe &recipe) {
    ResultHeader h;
    memset(&h, 0, sizeof h);
    memcpy(h.magic, RESULT_MAGIC, sizeof h.magic);
    h.header_size = RESULT_HEADER_SIZE;
    memcpy(h.device, u"SIM-1", 2 * 5);
    h.start_year = recipe.year, h.start_month = recipe.month, h.start_day = recipe.day;
    h.start_hour = recipe.hour, h.start_minute = recipe.minute, h.start_second = recipe.second;
    h.range = recipe.range, h.impedance = recipe.impedance, h.input = recipe.input;
    h.gain = recipe.gain, h.points = recipe.points;
    h.start_frequency = recipe.start_frequency, h.frequency_step = recipe.frequency_step;
    header_seal(&h);
    return h;
}

std::string result_file_record(const ResultFileRecipe &recipe, long long record) {
    std::vector<INT16> levels(recipe.points);
    for (int p = 0; p < recipe.points; p++)
        levels[p] = recipe.level ? recipe.level(record, p) : INT16(-5000);
    return std::string(reinterpret_cast<const char *>(levels.data()), 2 * levels.size());
}

void result_file_write(const std::string &native_path, const ResultFileRecipe &recipe) {
    FILE *f = fopen(native_path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + native_path);
    const ResultHeader h = result_file_header(recipe);
    fwrite(&h, sizeof h, 1, f);
    for (long long r = 0; r < recipe.records; r++) {
        const std::string bytes = result_file_record(recipe, r);
        fwrite(bytes.data(), 1, bytes.size(), f);
    }
    if (recipe.partial_bytes > 0) {
        const std::string bytes = result_file_record(recipe, recipe.records);
        fwrite(bytes.data(), 1,
               size_t(recipe.partial_bytes) < bytes.size() ? recipe.partial_bytes : 1, f);
    }
    if (fclose(f) != 0) throw std::runtime_error("cannot write " + native_path);
}
