# The median of the figures kept as figure[key, 1..count[key]], for the ratio scripts.
function median(key,    n, i, j, t, v) {
    n = count[key]
    for (i = 1; i <= n; ++i) v[i] = figure[key, i]
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return v[int((n + 1) / 2)]
}
