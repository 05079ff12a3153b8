// Keeps the whole site in a cache on the first visit, so that it opens offline after it.
const cacheName = 'ciphers-1';
const siteFiles = ['./', 'index.html', 'style.css', 'ciphers.js', 'app.js', 'manifest.webmanifest',
  'icon-192.png', 'icon-512.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(siteFiles)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  event.respondWith(caches.match(event.request, {ignoreSearch: true})
    .then((cached) => cached || fetch(event.request)));
});
